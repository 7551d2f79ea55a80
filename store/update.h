#pragma once
// One write of the data file as a sequence of file-system steps, so that no
// failure at any step can leave a torn file: the new contents go to a
// temporary file beside the data file, which then replaces it in one rename.
// The steps are reached through a narrow interface (Steps below), real files
// in the program and a fault-injecting stand-in in the tests.
#include <optional>
#include <string>

namespace store {

enum class FileState { Missing, Present, Unreadable };

struct FileContents {
    FileState state = FileState::Missing;
    std::string bytes; // empty unless Present
};

// Steps provides, each true on success:
//   FileContents Read();                 the data file as it is now
//   bool CreateTemp();                   a new, empty temporary file beside it
//   bool WriteTemp(const std::string&);  its whole contents
//   bool FlushTemp();                    on the disk
//   bool CloseTemp();
//   bool ReplaceWithTemp();              renamed over the data file, atomically
//   void DiscardTemp();                  closed and deleted, if it still exists
// edit turns the current contents into the new ones, or nullopt to refuse.
//
// An unreadable file is never replaced (its entries would be lost); contents
// that would not change are not written at all.
template <class Steps, class Edit> bool UpdateFile(Steps& steps, Edit&& edit) {
    const FileContents current = steps.Read();
    if (current.state == FileState::Unreadable) return false;
    const std::optional<std::string> next = edit(current);
    if (!next) return false;
    if (current.state == FileState::Present && *next == current.bytes) return true;
    const bool done = steps.CreateTemp() && steps.WriteTemp(*next) && steps.FlushTemp() &&
                      steps.CloseTemp() && steps.ReplaceWithTemp();
    if (!done) steps.DiscardTemp();
    return done;
}

} // namespace store
