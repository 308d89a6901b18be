// What the "Select a Heart Model" dialog offers and returns: the model files of the data
// directory's Clinic folder, each shown under its translated name, and the file name chosen.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantrel {

struct HeartModelEntry {
    std::string shown;     // the text of the list: the translated name, or the file's base name
    std::string fileName;  // the model file's name, ".hmd" included
};

class HeartModelChoice {
public:
    // Lists dataDir/Clinic/*.hmd sorted by name.  A base name (the file name without ".hmd")
    // shorter than 126 characters is looked up in the current language, with itself as the
    // default; a translation that differs is shown, cut to 126 characters.  Every entry keeps its
    // own file name, so any number of files may be translated and two entries that read alike
    // still open their own file.  Entry 0 is selected.
    void Open(const std::filesystem::path& dataDir);

    const std::vector<HeartModelEntry>& Entries() const { return entries_; }
    int Selected() const { return selected_; }
    // A selection change (or a double click, after which the dialog closes with OK).  An index
    // outside the list leaves the choice as it was.
    void Select(int index);
    // The file name for the load (".hmd" included); empty when the folder has no model.
    const std::string& ChosenName() const { return chosenName_; }

private:
    std::vector<HeartModelEntry> entries_;
    int selected_ = -1;  // -1 = no entry
    std::string chosenName_;
};

}  // namespace vantrel
