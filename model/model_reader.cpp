#include "model/model_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "engine/program_wide.h"
#include "model/body_commands.h"
#include "model/cell_mesh.h"
#include "model/model_text.h"

namespace vantrel {

namespace {

constexpr const char* kTitleBanner = "Vantrel - ";
constexpr std::size_t kWholeFile = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kSequenceFileBytes = 1000;  // what a sequence file may contribute
constexpr const char* kCrLf = "\r\n";

// The breathing curve's 20 steps (percent of the amplitude).
constexpr int32_t kRespirationTable[20] = {0,   25,   50,   75,   100,  100, 100,
                                           75,  50,   25,   0,    -25,  -50, -75,
                                           -100, -100, -100, -75, -50, -25};

constexpr const char* kSpecialCellNames[kSpecialCellCount] = {"Sinus", "RA5",  "RA11", "AVN1",
                                                              "His",   "IV5",  "LV33", "LV28"};
constexpr int32_t kSpecialCellDefaults[kSpecialCellCount] = {-1, 2, 3, 3, 4, 5, 6, 7};

// The model file, line by line; every line after the header line adds to the checksum.
class ModelFile {
public:
    explicit ModelFile(std::string bytes) : bytes_(std::move(bytes)), lines_(bytes_) {}
    ModelFile(const ModelFile&) = delete;
    ModelFile& operator=(const ModelFile&) = delete;

    bool NextUncounted(std::string& line) { return lines_.Next(line); }
    bool Next(std::string& line) {
        if (!lines_.Next(line)) return false;
        checksum_ = AddLineChecksum(checksum_, line);
        return true;
    }
    int32_t Checksum() const { return checksum_; }

private:
    std::string bytes_;
    LineReader lines_;
    int32_t checksum_ = 0;
};

// Cuts `line` before `keyword`; true when the keyword was there (the section's last line).
bool CutAt(std::string& line, std::string_view keyword) {
    const std::size_t k = line.find(keyword);
    if (k == std::string::npos) return false;
    line.resize(k);
    return true;
}

std::filesystem::path CurrentDirectory() {
    std::error_code error;
    std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : here;
}

// The record at the start of a load: every engine field at its construction value, except what
// outlives a model (the user's lead, pacemaker and stimulator settings, the interval tables, and
// the last model's name and texts until the new file opens).
void StartRecord(CCoeur& heart) {
    const auto old = std::make_unique<HeartState>(static_cast<const HeartState&>(heart));
    heart.Clear();
    std::copy(std::begin(old->icCell), std::end(old->icCell), heart.icCell);
    std::memcpy(heart.precordial, old->precordial, sizeof heart.precordial);
    std::copy(std::begin(old->electrodes), std::end(old->electrodes), heart.electrodes);
    heart.tWaveOn = old->tWaveOn;
    heart.pictureMode = old->pictureMode;

    heart.pmMode = old->pmMode;
    heart.pmAvDelay = old->pmAvDelay;
    heart.pmPeriod = old->pmPeriod;
    heart.pmMinPeriod = old->pmMinPeriod;
    heart.pmVvDelay = old->pmVvDelay;
    heart.pmAtrialRefractory = old->pmAtrialRefractory;
    heart.pmVentricularBlanking = old->pmVentricularBlanking;
    heart.pmAtrialEscape = old->pmAtrialEscape;
    heart.pmVentricularEscape = old->pmVentricularEscape;
    heart.pmV2Countdown = old->pmV2Countdown;
    heart.pmAtrialCount = old->pmAtrialCount;
    heart.pmDddPlus = old->pmDddPlus;
    heart.pmAvHysteresis = old->pmAvHysteresis;
    heart.pmIrregularity = old->pmIrregularity;
    heart.pmPrevAtrialCount = old->pmPrevAtrialCount;
    heart.pmPrevAtrialDiff = old->pmPrevAtrialDiff;
    // The pacemaker's lead cells belonged to the old model.
    heart.pmAtrialCell = heart.pmVentricularCell = heart.pmVentricular2Cell = -1;
    for (int e = 10; e <= 12; ++e) heart.electrodes[e].cell = -1;

    heart.stimActive = old->stimActive;
    heart.stimRepeatDelay = old->stimRepeatDelay;
    heart.stimCountdown = old->stimCountdown;
    std::memcpy(heart.stimProgram, old->stimProgram, sizeof heart.stimProgram);
    heart.stimPos = old->stimPos;
    heart.stimCell = old->stimCell;
    heart.stimWait = old->stimWait;
    heart.stimRestartPending = old->stimRestartPending;

    heart.rrInterval = old->rrInterval;
    heart.recordIntervals = old->recordIntervals;
    std::copy(std::begin(old->intervalTable), std::end(old->intervalTable), heart.intervalTable);
    std::copy(std::begin(old->referenceTable), std::end(old->referenceTable),
              heart.referenceTable);

    heart.currentModelName = old->currentModelName;
    heart.modelDate = old->modelDate;
    heart.modelComments = old->modelComments;
    heart.drugText = old->drugText;
    heart.sequenceText = old->sequenceText;
    heart.modelTitle = old->modelTitle;

    heart.SetTone(400, true);
    heart.startSequencePending = 1;
}

class Loader {
public:
    Loader(CCoeur& heart, const ReaderOptions& options)
        : heart_(heart),
          options_(options),
          files_(options.files ? *options.files : DiskFiles::Instance()),
          base_(options.dataDirectory.empty() ? CurrentDirectory() : options.dataDirectory) {}

    bool Run(const std::string& fileName);

private:
    bool ReadSections(ModelFile& file, std::string& current);
    std::string IncludeDrugFile(const std::string& line);
    void IncludeSequenceFile(const std::string& line, std::size_t filePos);
    void AppendDrugLines(std::string_view bytes, std::string& last, int skipQuotedComment);
    bool CompareChecksum();
    void FindSpecialCells();
    void FixIsochroneReference();
    void FinishAnyLoad();
    bool HeaderFailure();
    bool Fatal(const char* title);
    // A file of the data folder named by the model (or the user); a name that leads out of the
    // folder reads as a missing file.
    std::optional<std::string> ReadInside(const char* folder, const std::string& name,
                                          std::size_t maxBytes) const;

    CCoeur& heart_;
    const ReaderOptions& options_;
    const ModelFileSource& files_;
    std::filesystem::path base_;
    bool headerFailed_ = false;
};

std::optional<std::string> Loader::ReadInside(const char* folder, const std::string& name,
                                             std::size_t maxBytes) const {
    const std::optional<std::filesystem::path> path = DataPathInside(base_, folder, name);
    if (!path) return std::nullopt;
    return files_.Read(*path, maxBytes);
}

bool Loader::Run(const std::string& fileName) {
    const std::string name = fileName.empty() ? kDefaultModelFile : fileName;
    const std::filesystem::path path = DataPath(base_, "Clinic", name);
    std::optional<std::string> bytes = ReadInside("Clinic", name, kWholeFile);
    if (!bytes) {
        heart_.loadStatus = "Fichier : " + path.string() + " no openable";
        return HeaderFailure();
    }
    heart_.currentModelName = fileName;
    heart_.loadLine = 1;
    ModelFile file(std::move(*bytes));

    std::string header;
    file.NextUncounted(header);
    std::size_t pos = 0;
    int32_t version = 0;
    if (!FindKeyword(header, pos, "Version")) {
        heart_.loadStatus = "Version of the model not defined : loading aborted";
        headerFailed_ = true;
    } else {
        version = ReadNumber(header, pos);
        if (version < 1 || version > 6) {
            heart_.loadStatus = Message("Version de la structure (%d) incompatible", {version});
            headerFailed_ = true;
        }
    }
    std::size_t datePos = 0;
    if (version >= 4) {
        std::size_t cs = 0;
        if (FindKeyword(header, cs, "CS=")) {
            heart_.storedChecksum = ReadNumber(header, cs);
            datePos = cs;
        }
    }

    heart_.modelComments.clear();
    heart_.modelDate.clear();
    heart_.drugText.clear();
    heart_.sequenceText.clear();
    if (FindKeyword(header, datePos, "Date")) heart_.modelDate = header.substr(datePos);

    // The first body line may already have been read: the line after the header sections, or
    // the header line itself in a file of structure version 1.
    std::string current;
    bool pending = false;
    if (version >= 2) pending = ReadSections(file, current);
    else if (version == 1) {
        current = header;
        pending = true;
    }
    heart_.computedChecksum = file.Checksum();
    if (headerFailed_) return HeaderFailure();

    ModelBody body(heart_);
    CommandResult result = CommandResult::Done;
    std::string line;
    while (result == CommandResult::Done) {
        if (pending) {
            line = std::move(current);
            pending = false;
        } else if (!file.Next(line)) {
            break;
        }
        ++heart_.loadLine;
        result = body.ProcessLine(line);
    }
    heart_.computedChecksum = file.Checksum();

    if (result == CommandResult::FormulaFailed) {
        // A variable's formula failed.  Said like a header failure, and the half-read model is
        // not left behind looking loaded.
        heart_.cellCount = 0;
        heart_.linkCount = 0;
        return HeaderFailure();
    }
    if (result == CommandResult::Failed || heart_.cellCount == 0) return Fatal("Error Message");

    heart_.modelTone = heart_.tone;
    if (!CompareChecksum()) return false;

    BuildCellMeshes(heart_);
    FindSpecialCells();
    FixIsochroneReference();
    FinishAnyLoad();

    if (!fileName.empty()) {
        const std::string name = fileName.substr(0, fileName.size() - 4);  // without ".hmd"
        heart_.modelTitle = std::string(kTitleBanner) + Translate("ID_HEARTMOD", "Heart Model") +
                            " : " + Translate(name, name);
        heart_.notifier->Post(kMsgModelTitle, 0, 0);
    }
    return true;
}

bool Loader::ReadSections(ModelFile& file, std::string& current) {
    if (!file.Next(current)) return false;
    std::string line;
    if (Contains(current, "Comments")) {
        while (file.Next(line)) {
            const bool last = CutAt(line, "EndComments");
            if (!line.empty()) heart_.modelComments += line + kCrLf;
            if (last) break;
        }
        if (!file.Next(current)) return false;
    }
    if (Contains(current, "DrugsBegin")) {
        while (file.Next(line)) {
            // The included file's last line stands in for the "File" line: it is the one tested
            // for the end of the section and it is appended once more.
            if (Contains(line, "File")) line = IncludeDrugFile(line);
            const bool last = CutAt(line, "EndDrugs");
            if (!line.empty()) heart_.drugText += line + kCrLf;
            if (last) break;
        }
        if (!file.Next(current)) return false;
    }
    if (Contains(current, "SequenceBegin")) {
        while (file.Next(line)) {
            const bool last = CutAt(line, "EndSequence");
            if (!line.empty()) {
                const std::size_t k = line.find("File");
                if (k != std::string::npos && k > 0) {
                    heart_.sequenceText += line.substr(0, k);
                    IncludeSequenceFile(line, k);
                } else {
                    heart_.sequenceText += line;
                }
                heart_.sequenceText += kCrLf;
            }
            if (last) break;
        }
        return false;  // the body starts with the line after the section
    }
    return true;
}

// Appends the lines of a drug file to drugText.  With skipQuotedComment, the lines up to and
// including the one where the running count of double quotes first exceeds 1 are left out: the
// language file has already given that comment.
void Loader::AppendDrugLines(std::string_view bytes, std::string& last, int skipQuotedComment) {
    LineReader lines(bytes);
    std::string line;
    int quotes = 0;
    bool skipping = skipQuotedComment != 0;
    while (lines.Next(line)) {
        last = line;
        if (skipping) {
            quotes += static_cast<int>(std::count(line.begin(), line.end(), '"'));
            if (quotes > 1) skipping = false;
            continue;
        }
        heart_.drugText += line + kCrLf;
    }
}

std::string Loader::IncludeDrugFile(const std::string& line) {
    const std::string name = line.size() > 5 ? line.substr(5) : std::string();
    const std::filesystem::path plainPath = DataPath(base_, "Drugs", name + ".drg");
    std::optional<std::string> language;
    if (!options_.languageSuffix.empty())
        language = ReadInside("Drugs", name + options_.languageSuffix + ".drg", kWholeFile);
    const std::optional<std::string> plain = ReadInside("Drugs", name + ".drg", kWholeFile);
    if (!plain) {
        heart_.loadStatus = "Drug " + plainPath.string() + " not found";
        headerFailed_ = true;
        return std::string();
    }
    std::string last;
    if (language) AppendDrugLines(*language, last, 0);
    AppendDrugLines(*plain, last, language ? 1 : 0);
    return last;
}

void Loader::IncludeSequenceFile(const std::string& line, std::size_t filePos) {
    std::string name = line.size() > filePos + 5 ? line.substr(filePos + 5) : std::string();
    while (!name.empty() && name.back() == ' ') name.pop_back();
    const std::filesystem::path languagePath =
        DataPath(base_, "Seq", name + options_.languageSuffix + ".seq");
    std::optional<std::string> bytes =
        ReadInside("Seq", name + options_.languageSuffix + ".seq", kSequenceFileBytes);
    if (!bytes) bytes = ReadInside("Seq", name + ".seq", kSequenceFileBytes);
    if (!bytes) {
        heart_.sequenceText += "File " + languagePath.string() + "not found";
        return;
    }
    heart_.sequenceText += bytes->substr(0, bytes->find('\0'));
}

bool Loader::CompareChecksum() {
    switch (options_.checksum) {
        case ChecksumCheck::Show:
            heart_.loadStatus = Message("The CheckSum is %d", {heart_.computedChecksum});
            heart_.notifier->ShowMessage("Interesting Message", heart_.loadStatus);
            return true;
        case ChecksumCheck::Skip: return true;
        case ChecksumCheck::Compare: break;
    }
    if (heart_.storedChecksum == heart_.computedChecksum) return true;
    for (int32_t i = 0; i < heart_.cellCount; ++i) heart_.cells[i].SetName("");
    heart_.loadStatus = "Bad CheckSum, Loading aborted";
    // One nameless cell and no links: nothing of the refused model stays runnable, and no link
    // points past the cells that are left.
    heart_.cellCount = 1;
    heart_.linkCount = 0;
    heart_.cells[0].neighbourCount = 0;
    return Fatal("Error Message");
}

void Loader::FindSpecialCells() {
    for (int i = 0; i < kSpecialCellCount; ++i) {
        const int32_t index = heart_.FindCell(kSpecialCellNames[i]);
        heart_.specialCells[i] = index >= 0 ? index : kSpecialCellDefaults[i];
        if (i == 0 && index < 0) heart_.notifier->ShowMessage("Sinus not found", heart_.loadStatus);
    }
    heart_.sinusClockCell = heart_.specialCells[0];
}

void Loader::FixIsochroneReference() {
    int32_t index = heart_.isochroneRefIndex;
    if (index < 0) index = heart_.FindCell("His");
    if (index < 0 || index >= heart_.cellCount) index = 0;
    heart_.isochroneRefIndex = index;
    heart_.cells[index].isochroneRef = 1;
}

// Done by every load that opened its file or not, and after a fatal error too, so that the
// record is always complete.
void Loader::FinishAnyLoad() {
    heart_.rateCount = 10;
    heart_.rateSum = 2000;
    heart_.rateTicks = 0;
    heart_.cell5Count = 10;
    heart_.cell5Sum = 2000;
    heart_.cell5Ticks = 0;
    std::copy(std::begin(kRespirationTable), std::end(kRespirationTable), heart_.respTable);
}

bool Loader::HeaderFailure() {
    FinishAnyLoad();
    heart_.notifier->ShowMessage("Error", heart_.loadStatus);
    return false;
}

bool Loader::Fatal(const char* title) {
    FinishAnyLoad();
    heart_.notifier->ShowMessage(title, heart_.loadStatus);
    heart_.notifier->EndProgram();
    return false;
}

}  // namespace

ChecksumCheck ChecksumCheckFromArguments(int argc, const char* const* argv) {
    bool show = false, skip = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] ? argv[i] : "";
        if (arg == "/XCS" || arg == "--xcs") show = true;
        if (arg == "/NOCS" || arg == "--nocs") skip = true;
    }
    return show ? ChecksumCheck::Show : skip ? ChecksumCheck::Skip : ChecksumCheck::Compare;
}

bool LoadModel(CCoeur& heart, std::string fileName, const ReaderOptions& options) {
    if (fileName == "XXX") fileName = heart.currentModelName;
    if (!fileName.empty() &&
        (fileName.size() < 4 || fileName.compare(fileName.size() - 4, 4, ".hmd") != 0))
        fileName += ".hmd";
    StartRecord(heart);  // also puts loadStatus back to "Structure OK"
    Loader loader(heart, options);
    return loader.Run(fileName);
}

}  // namespace vantrel
