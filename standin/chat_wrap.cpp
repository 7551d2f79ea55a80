#include "standin/chat_wrap.h"
#include <algorithm>
#include <utility>

namespace standin {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A stretch of one run that is all blanks or has none.
struct Segment {
    size_t run;
    std::string_view text;
    bool blank;
};

// Words and the blanks between them, in order: consecutive segments with the
// same blank flag form one group, across runs.
std::vector<std::vector<Segment>> Groups(const std::vector<ChatRun>& runs) {
    std::vector<std::vector<Segment>> groups;
    for (size_t r = 0; r < runs.size(); ++r) {
        const std::string_view text = runs[r].text;
        for (size_t i = 0; i < text.size();) {
            const bool blank = IsBlank(text[i]);
            size_t end = i;
            while (end < text.size() && IsBlank(text[end]) == blank) ++end;
            const Segment segment{r, text.substr(i, end - i), blank};
            if (groups.empty() || groups.back().front().blank != blank) groups.emplace_back();
            groups.back().push_back(segment);
            i = end;
        }
    }
    return groups;
}

class Rows {
  public:
    Rows(const std::vector<ChatRun>& runs, int width, const MeasureText& measure)
        : runs_(runs), width_(width), measure_(measure) {}

    int Width(const Segment& s) const { return measure_(runs_[s.run].style, s.text); }
    int Width(const std::vector<Segment>& group) const {
        int sum = 0;
        for (const Segment& s : group) sum += Width(s);
        return sum;
    }
    bool Fits(int width) const { return x_ + width <= width_; }
    bool RowEmpty() const { return rows_.back().empty(); }

    void Place(const Segment& s, int width) {
        ChatRow& row = rows_.back();
        if (!row.empty() && row.back().run == s.run) {
            row.back().text += s.text;
            row.back().width += width;
        } else {
            row.push_back({s.run, std::string(s.text), x_, width});
        }
        x_ += width;
    }
    void Place(const std::vector<Segment>& group) {
        for (const Segment& s : group) Place(s, Width(s));
    }
    void Break() {
        rows_.emplace_back();
        x_ = 0;
    }

    // A word wider than what is left of the row: as many bytes as fit on each
    // row, at least one on an empty row.
    void Cut(const std::vector<Segment>& word) {
        for (Segment s : word) {
            while (!s.text.empty()) {
                size_t fit = LongestFit(s);
                if (fit == 0 && !RowEmpty()) {
                    Break();
                    continue;
                }
                fit = std::max<size_t>(fit, 1);
                const Segment head{s.run, s.text.substr(0, fit), false};
                Place(head, Width(head));
                s.text.remove_prefix(fit);
                if (!s.text.empty()) Break();
            }
        }
    }

    std::vector<ChatRow> Take() { return std::move(rows_); }

  private:
    // Measuring grows with the text, so a binary search over its prefixes.
    size_t LongestFit(const Segment& s) const {
        size_t low = 0, high = s.text.size();
        while (low < high) {
            const size_t mid = (low + high + 1) / 2;
            if (Fits(Width(Segment{s.run, s.text.substr(0, mid), false}))) {
                low = mid;
            } else {
                high = mid - 1;
            }
        }
        return low;
    }

    const std::vector<ChatRun>& runs_;
    int width_;
    const MeasureText& measure_;
    std::vector<ChatRow> rows_{1};
    int x_ = 0;
};

} // namespace

std::vector<ChatRow> WrapChatRuns(const std::vector<ChatRun>& runs, int width,
                                  const MeasureText& measure) {
    Rows rows(runs, width, measure);
    const std::vector<std::vector<Segment>> groups = Groups(runs);
    const std::vector<Segment>* blanks = nullptr; // before the next word
    for (const std::vector<Segment>& group : groups) {
        if (group.front().blank) {
            blanks = &group;
            continue;
        }
        const int wordWidth = rows.Width(group);
        const int blanksWidth = blanks ? rows.Width(*blanks) : 0;
        if (!rows.RowEmpty() && !rows.Fits(blanksWidth + wordWidth)) {
            rows.Break();
        } else if (blanks) {
            rows.Place(*blanks);
        }
        blanks = nullptr;
        if (rows.Fits(wordWidth)) {
            rows.Place(group);
        } else {
            rows.Cut(group);
        }
    }
    // Blanks at the end show nothing; they stay only where they fit.
    if (blanks && rows.Fits(rows.Width(*blanks))) rows.Place(*blanks);
    return rows.Take();
}

} // namespace standin
