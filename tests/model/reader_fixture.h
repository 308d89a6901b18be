// Helpers for the model reader tests: a notifier that records what the load shows, models given
// as text in memory, and the fixture models of this folder (fixtures/Clinic, Drugs, Seq).
#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/heart_record.h"
#include "model/model_files.h"
#include "model/model_reader.h"

namespace vantrel::testing {

struct ShownMessage {
    std::string title, text;
    bool operator==(const ShownMessage&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
        return out << '{' << m.title << ": " << m.text << '}';
    }
};

class RecordingNotifier : public EngineNotifier {
public:
    void Post(int32_t message, int32_t wParam, int32_t) override { posted.push_back({message, wParam}); }
    void ShowMessage(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
    }
    void EndProgram() override { ended = true; }

    std::vector<std::pair<int32_t, int32_t>> posted;
    std::vector<ShownMessage> shown;
    bool ended = false;
};

// Files held in memory, by path relative to the data directory "mem".
class MemoryFiles : public ModelFileSource {
public:
    std::optional<std::string> Read(const std::filesystem::path& path,
                                    std::size_t maxBytes) const override {
        const auto found = files.find(path.lexically_relative("mem").generic_string());
        if (found == files.end()) return std::nullopt;
        return found->second.substr(0, maxBytes);
    }
    std::map<std::string, std::string> files;  // "Clinic/a.hmd" -> bytes
};

inline const std::filesystem::path kFixtureData = std::filesystem::path(VANTREL_TEST_DIR) / "fixtures";

// A heart record with a recording notifier (the record is large: on the heap).
struct ReaderTest {
    std::unique_ptr<CCoeur> heart = std::make_unique<CCoeur>();
    RecordingNotifier notifier;
    MemoryFiles memory;
    ReaderOptions options;

    ReaderTest() {
        heart->notifier = &notifier;
        options.dataDirectory = kFixtureData;
        options.checksum = ChecksumCheck::Skip;
        // Models given as text include the fixture drug and sequence files too.
        for (const char* folder : {"Drugs", "Seq"})
            for (const auto& entry : std::filesystem::directory_iterator(kFixtureData / folder)) {
                std::ifstream in(entry.path(), std::ios::binary);
                memory.files[std::string(folder) + "/" + entry.path().filename().string()] =
                    std::string(std::istreambuf_iterator<char>(in), {});
            }
    }
    // Loads a fixture of fixtures/Clinic.
    bool LoadFixture(const std::string& name) { return LoadModel(*heart, name, options); }
    // Loads a model given as text: a version-2 header line, then `body`.
    bool LoadText(const std::string& body, const std::string& header = "Version 2\r\n") {
        memory.files["Clinic/m.hmd"] = header + body;
        ReaderOptions inMemory = options;
        inMemory.dataDirectory = "mem";
        inMemory.files = &memory;
        return LoadModel(*heart, "m", inMemory);
    }
    const CCell& Cell(const char* name) const { return heart->cells[heart->FindCell(name)]; }
};

}  // namespace vantrel::testing
