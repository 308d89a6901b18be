// Arbitrary bytes as a heart model file, split at zero bytes into the model file, the drug file
// and the sequence file that the model's sections may include (whatever names they give).  The
// load must never crash, hang or touch memory outside the record, and whatever it leaves must be
// a heart the engine can tick and a later load can start from.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/ecg_display.h"
#include "engine/heart_record.h"
#include "engine/notifier.h"
#include "engine/simulation_clock.h"
#include "model/model_reader.h"

namespace {

class FuzzFiles : public vantrel::ModelFileSource {
public:
    std::string model, drugs, sequences;

    std::optional<std::string> Read(const std::filesystem::path& path,
                                    std::size_t maxBytes) const override {
        const std::string extension = path.extension().string();
        const std::string& bytes = extension == ".drg"   ? drugs
                                   : extension == ".seq" ? sequences
                                                         : model;
        return bytes.substr(0, maxBytes);
    }
};

// A model every load ends with, so that each input also checks that the next load starts clean.
constexpr const char* kPlainModel =
    "Version 3\r\n"
    "Cell \"Sinus\" X 1 Y 1 EB 800 EH 450\r\n"
    "Cell \"RA1\" X 2 Y 1 EB 5000 EH 5000\r\n"
    "Lien Sinus RA1\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto heart = std::make_unique<vantrel::CCoeur>();
    static auto display = std::make_unique<vantrel::EcgDisplay>();
    heart->notifier = &vantrel::SilentNotifier::Instance();

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FuzzFiles files;
    const std::size_t first = bytes.find('\0');
    files.model = bytes.substr(0, first);
    if (first != std::string::npos) {
        const std::size_t second = bytes.find('\0', first + 1);
        files.drugs = bytes.substr(first + 1, second == std::string::npos ? second : second - first - 1);
        if (second != std::string::npos) files.sequences = bytes.substr(second + 1);
    }

    vantrel::ReaderOptions options;
    options.files = &files;
    options.checksum = vantrel::ChecksumCheck::Skip;  // reach the body and the post-processing
    vantrel::LoadModel(*heart, "fuzz.hmd", options);
    {
        // A few ticks and samples of whatever was loaded: geometry and timings straight from
        // the input reach the automaton and the synthesis.
        vantrel::SimulationClock clock(*heart, *display);
        std::lock_guard<std::mutex> guard(heart->lock);
        for (int i = 0; i < 40; ++i) clock.TickAndSample(true);
    }

    files.model = kPlainModel;
    vantrel::LoadModel(*heart, "plain.hmd", options);
    return 0;
}
