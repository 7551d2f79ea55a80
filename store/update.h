#pragma once
// One write of the data file as a sequence of file-system steps, so that no
// failure or crash at any step can leave a torn file: the new contents go to
// a temporary file beside the data file, which then takes its place. The
// steps are reached through a narrow interface (Steps below), real files in
// the program and a fault-injecting stand-in in the tests.
#include <optional>
#include <string>

namespace store {

enum class FileState { Missing, Present, Unreadable };

struct FileContents {
    FileState state = FileState::Missing;
    std::string bytes; // empty unless Present
};

// Steps provides, each true on success:
//   FileContents Read();                 the data file as it is now, after
//                                        recovering an interrupted replace
//   bool CreateTemp();                   the temporary file beside it, empty
//   bool WriteTemp(const std::string&);  its whole contents
//   bool FlushTemp();                    on the disk
//   bool CloseTemp();
//   bool RenamesOver();                  whether the system can rename a
//                                        file over another in one step
//   bool ReplaceWithTemp();              renamed over the data file, atomically
// and, where the system cannot rename over a file (Windows 95, 98 and ME):
//   bool MoveDataAside();                the data file renamed to the backup
//   bool MoveTempIn();                   the temporary file renamed to the
//                                        data file's name
//   bool RestoreData();                  the backup renamed back
//   void DropBackup();                   the backup deleted
//   void DiscardTemp();                  closed and deleted, if it still exists
// edit turns the current contents into the new ones, or nullopt to refuse.
//
// An unreadable file is never replaced (its entries would be lost); contents
// that would not change are not written at all.
template <class Steps> bool ReplaceByBackup(Steps& steps, bool existed);

template <class Steps, class Edit> bool UpdateFile(Steps& steps, Edit&& edit) {
    const FileContents current = steps.Read();
    if (current.state == FileState::Unreadable) return false;
    const std::optional<std::string> next = edit(current);
    if (!next) return false;
    if (current.state == FileState::Present && *next == current.bytes) return true;
    const bool written =
        steps.CreateTemp() && steps.WriteTemp(*next) && steps.FlushTemp() && steps.CloseTemp();
    const bool done =
        written &&
        (steps.RenamesOver() ? steps.ReplaceWithTemp()
                             : ReplaceByBackup(steps, current.state == FileState::Present));
    if (!done) steps.DiscardTemp();
    return done;
}

// The old file is moved aside before the new one takes its name, and deleted
// only after. Between the two renames the data file's name is free, but both
// contents are whole on the disk; the next Read finds the backup without a
// data file and renames it back. A backup beside a data file is left over
// from a replace that finished (or one whose restore found the new file in
// place), and the next replace deletes it.
template <class Steps> bool ReplaceByBackup(Steps& steps, bool existed) {
    if (existed && !steps.MoveDataAside()) {
        steps.RestoreData(); // in case it moved and then reported failure
        return false;
    }
    if (!steps.MoveTempIn()) {
        if (existed) steps.RestoreData();
        return false;
    }
    if (existed) steps.DropBackup();
    return true;
}

} // namespace store
