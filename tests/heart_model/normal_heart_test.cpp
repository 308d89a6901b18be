// The default heart, "1.1 Normal.hmd", read as a cardiologist reads a normal ECG: each target is
// measured from the recorded samples of a headless run (60 simulated seconds at the model's own
// tone unless a test says otherwise), and from the engine's own interval measurement where the
// student sees it (the rate, PR and QT labels).  The measured values are printed for the model's
// notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "heart_run.h"

namespace vantrel::testing {
namespace {

// Steady state: the first seconds after a load let the conduction times settle.
constexpr int32_t kSteadyFromMs = 10000;

int32_t Median(std::vector<int32_t> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F>
int32_t MedianOf(const std::vector<Beat>& beats, F value) {
    std::vector<int32_t> values;
    for (const Beat& b : beats) values.push_back(value(b));
    return Median(values);
}

double Qtc(int32_t qtMs, int32_t rrMs) { return qtMs / std::sqrt(rrMs / 1000.0); }

void Note(const char* what, double value) { std::printf("  %-48s %7.1f\n", what, value); }

// What a run shows in its steady part.
struct Reading {
    int32_t rate = 0, enginePr = 0, engineQt = 0, engineRr = 0;  // the engine's labels
    int32_t rr = 0, pr = 0, qrs = 0, qt = 0;                       // medians from the samples
    std::vector<Beat> beats;
};

Reading Read(const HeartRun& run, int32_t fromMs = kSteadyFromMs, int32_t toMs = 1 << 30) {
    Reading r;
    r.rate = run.summary.heartRate;
    r.enginePr = run.summary.prInterval;
    r.engineQt = run.summary.qtInterval;
    r.engineRr = run.summary.rrInterval;
    r.beats = run.Between(fromMs, toMs);
    r.rr = MedianOf(r.beats, [](const Beat& b) { return b.rrMs; });
    r.pr = MedianOf(r.beats, [](const Beat& b) { return b.PrMs(); });
    r.qrs = MedianOf(r.beats, [](const Beat& b) { return b.QrsMs(); });
    r.qt = MedianOf(r.beats, [](const Beat& b) { return b.QtMs(); });
    return r;
}

HeartRun RunNormal(std::vector<std::string> actions = {}, std::optional<int32_t> tone = {},
             double seconds = 60) {
    HeartRunSpec spec;
    spec.seconds = seconds;
    spec.tone = tone;
    spec.actions = std::move(actions);
    return RunShippedHeart(spec);
}

// The first beat from `fromMs` on that comes early: its RR is below 85 % of the normal one.
const Beat* FirstEarlyBeat(const HeartRun& run, int32_t fromMs, int32_t normalRr) {
    for (const Beat& b : run.beats)
        if (b.OnsetMs() >= fromMs && b.rrMs > 0 && b.rrMs * 100 < normalRr * 85) return &b;
    return nullptr;
}

const Beat* NextBeat(const HeartRun& run, const Beat& beat) {
    for (size_t i = 0; i + 1 < run.beats.size(); ++i)
        if (run.beats[i].qrsOnset == beat.qrsOnset) return &run.beats[i + 1];
    return nullptr;
}

// The run at rest is shared by the tests that read it; each test checks that it ran.
class NormalHeart : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Rest().ok) << Rest().error; }
    static const HeartRun& Rest() {
        static const HeartRun rest = RunNormal();
        return rest;
    }
    // The beat in the middle of the steady part, for the morphology.
    static const Beat& Typical() {
        static const std::vector<Beat> steady = Rest().Between(kSteadyFromMs, 60000);
        return steady[steady.size() / 2];
    }
    static LeadWaves Lead(int lead) { return ReadLead(Rest().trace, Typical(), lead); }
};

TEST_F(NormalHeart, SinusRhythmWithNormalIntervals) {
    const Reading r = Read(Rest());
    std::printf("At rest (tone %d):\n", Rest().heart->modelTone);
    Note("heart rate, bpm (engine)", r.rate);
    Note("RR, ms (samples)", r.rr);
    Note("PR, ms (samples)", r.pr);
    Note("PR, ms (engine)", r.enginePr);
    Note("P wave, ms", MedianOf(r.beats, [](const Beat& b) { return b.PMs(); }));
    Note("QRS, ms", r.qrs);
    Note("QT, ms (samples)", r.qt);
    Note("QT, ms (engine)", r.engineQt);
    Note("QTc (QT / square root of RR), ms (samples)", Qtc(r.qt, r.rr));
    Note("QTc (QT / square root of RR), ms (engine)", Qtc(r.engineQt, r.engineRr));

    EXPECT_GE(r.rate, 60);
    EXPECT_LE(r.rate, 80);
    ASSERT_GE(r.beats.size(), 40u);
    for (const Beat& b : r.beats) {
        SCOPED_TRACE(b.OnsetMs());
        EXPECT_TRUE(b.HasP()) << "every QRS is preceded by a P wave";
        EXPECT_NEAR(b.rrMs, r.rr, 10) << "regular";
        EXPECT_GE(b.PrMs(), 120);
        EXPECT_LE(b.PrMs(), 200);
        EXPECT_GE(b.QrsMs(), 70);
        EXPECT_LE(b.QrsMs(), 110);
        EXPECT_GE(b.QtMs(), 340);
        EXPECT_LE(b.QtMs(), 440);
        EXPECT_GE(Qtc(b.QtMs(), b.rrMs), 360);
        EXPECT_LE(Qtc(b.QtMs(), b.rrMs), 450);
    }
    // The labels the student reads say the same.
    EXPECT_GE(r.enginePr, 120);
    EXPECT_LE(r.enginePr, 200);
    EXPECT_GE(r.engineQt, 340);
    EXPECT_LE(r.engineQt, 440);
    EXPECT_GE(Qtc(r.engineQt, r.engineRr), 360);
    EXPECT_LE(Qtc(r.engineQt, r.engineRr), 450);
    EXPECT_EQ(Rest().summary.cell5Rate, r.rate) << "the atria beat with the ventricles";
}

TEST_F(NormalHeart, LimbLeadsAndFrontalAxis) {
    const LeadWaves ii = Lead(kLeadII);
    const LeadWaves avr = Lead(kLeadAVR);
    const double axis = FrontalAxis(Rest().trace, Typical());
    std::printf("Limb leads (units of the engine's leads):\n");
    Note("II: P", ii.p);
    Note("II: R", ii.r);
    Note("II: S", ii.s);
    Note("II: T", ii.t);
    Note("aVR: P", avr.p);
    Note("aVR: R", avr.r);
    Note("aVR: S", avr.s);
    Note("aVR: T", avr.t);
    Note("frontal QRS axis, degrees", axis);

    EXPECT_GT(ii.p, 0) << "upright P in II";
    EXPECT_TRUE(ii.DominantR()) << "dominant positive QRS in II";
    EXPECT_GT(ii.area, 0);
    EXPECT_GT(ii.t, 0) << "upright T in II";
    EXPECT_LT(avr.p, 0) << "negative P in aVR";
    EXPECT_TRUE(avr.DominantS()) << "negative QRS in aVR";
    EXPECT_LT(avr.area, 0);
    EXPECT_LT(avr.t, 0) << "negative T in aVR";
    EXPECT_GE(axis, 0);
    EXPECT_LE(axis, 90);
}

TEST_F(NormalHeart, PrecordialLeads) {
    std::printf("Precordial leads, R / S / T:\n");
    std::vector<int32_t> r;
    for (int lead = kLeadV1; lead <= kLeadV6; ++lead) {
        const LeadWaves w = Lead(lead);
        std::printf("  V%d  R %4d  S %4d  T %4d\n", lead - kLeadV1 + 1, w.r, w.s, w.t);
        r.push_back(w.r);
    }
    const LeadWaves v1 = Lead(kLeadV1);
    EXPECT_GT(v1.r, 0) << "V1: small r";
    EXPECT_TRUE(v1.DominantS()) << "V1: rS";
    EXPECT_TRUE(Lead(kLeadV5).DominantR());
    EXPECT_TRUE(Lead(kLeadV6).DominantR());
    for (int k = 1; k <= 4; ++k) EXPECT_GT(r[k], r[k - 1]) << "R grows from V" << k << " to V" << k + 1;
}

TEST_F(NormalHeart, TWavesFollowTheirQrs) {
    for (int lead : {kLeadI, kLeadII, kLeadV5, kLeadV6}) {
        SCOPED_TRACE(LeadTable[lead]);
        const LeadWaves w = Lead(lead);
        EXPECT_NE(w.t, 0);
        EXPECT_EQ(Sign(w.t), Sign(w.area)) << "T concordant with the QRS";
    }
    const double angle = QrsTAngle(Rest().trace, Typical());
    Note("spatial QRS-T angle, degrees", angle);
    EXPECT_LT(angle, 45);
}

TEST_F(NormalHeart, ToneMovesRatePrAndQt) {
    const Reading rest = Read(Rest());
    const HeartRun vagalRun = RunNormal({}, 0);
    const HeartRun sympatheticRun = RunNormal({}, 1000);
    ASSERT_TRUE(vagalRun.ok) << vagalRun.error;
    ASSERT_TRUE(sympatheticRun.ok) << sympatheticRun.error;
    const Reading vagal = Read(vagalRun);
    const Reading sympathetic = Read(sympatheticRun);
    std::printf("Tone 0 / rest / tone 1000:\n");
    std::printf("  rate, bpm            %4d %4d %4d\n", vagal.rate, rest.rate, sympathetic.rate);
    std::printf("  PR, ms (engine)      %4d %4d %4d\n", vagal.enginePr, rest.enginePr,
                sympathetic.enginePr);
    std::printf("  PR, ms (samples)     %4d %4d %4d\n", vagal.pr, rest.pr, sympathetic.pr);
    std::printf("  QT, ms (engine)      %4d %4d %4d\n", vagal.engineQt, rest.engineQt,
                sympathetic.engineQt);

    EXPECT_LE(vagal.rate, 50);
    EXPECT_GT(vagal.enginePr, rest.enginePr);
    EXPECT_GT(vagal.pr, rest.pr);
    EXPECT_GE(sympathetic.rate, 130);
    EXPECT_LT(sympathetic.enginePr, rest.enginePr);
    EXPECT_LT(sympathetic.pr, rest.pr);
    EXPECT_LT(sympathetic.engineQt, rest.engineQt);
    EXPECT_LT(rest.engineQt, vagal.engineQt) << "QT shortens as the rate rises";
    for (const Beat& b : vagal.beats) EXPECT_TRUE(b.HasP()) << "still sinus at " << b.OnsetMs();
}

TEST_F(NormalHeart, SupraventricularPrematureBeatIsEarlyNarrowAndHasItsP) {
    const Reading rest = Read(Rest());
    const HeartRun run = RunNormal({"10:svpb"}, {}, 20);
    ASSERT_TRUE(run.ok) << run.error;
    const Beat* early = FirstEarlyBeat(run, 10000, rest.rr);
    ASSERT_NE(early, nullptr) << "no early beat after the SVPB";
    std::printf("SVPB:\n");
    Note("coupling (RR), ms", early->rrMs);
    Note("QRS, ms", early->QrsMs());
    Note("PR, ms", early->PrMs());
    EXPECT_TRUE(early->HasP()) << "preceded by an early P";
    EXPECT_LE(early->QrsMs(), 110) << "narrow";
    EXPECT_NEAR(early->QrsMs(), rest.qrs, 10) << "conducted as a normal beat";
    const Beat* next = NextBeat(run, *early);
    ASSERT_NE(next, nullptr);
    Note("pause after it, ms", next->rrMs);
    EXPECT_LT(early->rrMs + next->rrMs, 2 * rest.rr - 50)
        << "the sinus is reset: no compensatory pause";
}

TEST_F(NormalHeart, VentricularPrematureBeatIsWideWithOppositeTAndCompensatoryPause) {
    const Reading rest = Read(Rest());
    const HeartRun run = RunNormal({"10:vpb"}, {}, 20);
    ASSERT_TRUE(run.ok) << run.error;
    const Beat* early = FirstEarlyBeat(run, 10000, rest.rr);
    ASSERT_NE(early, nullptr) << "no early beat after the VPB";
    const Beat* next = NextBeat(run, *early);
    ASSERT_NE(next, nullptr);
    const double angle = QrsTAngle(run.trace, *early);
    std::printf("VPB:\n");
    Note("coupling (RR), ms", early->rrMs);
    Note("QRS, ms", early->QrsMs());
    Note("spatial QRS-T angle, degrees", angle);
    Note("pause after it, ms", next->rrMs);
    Note("coupling + pause, ms", early->rrMs + next->rrMs);
    EXPECT_FALSE(early->HasP());
    EXPECT_GE(early->QrsMs(), 120) << "wide";
    EXPECT_GT(angle, 120) << "T opposite to the QRS";
    int opposite = 0, leads = 0;
    for (int lead : {kLeadI, kLeadII, kLeadIII, kLeadAVR, kLeadAVL, kLeadAVF, kLeadV1, kLeadV2,
                     kLeadV3, kLeadV4, kLeadV5, kLeadV6}) {
        const LeadWaves w = ReadLead(run.trace, *early, lead);
        const int32_t dominant = w.DominantR() ? w.r : w.s;
        std::printf("  %-4s QRS %4d  T %4d\n", std::string(LeadTable[lead]).c_str(), dominant, w.t);
        if (std::abs(dominant) < 10 || std::abs(w.t) < 5) continue;  // too small to read
        ++leads;
        if (Sign(dominant) != Sign(w.t)) ++opposite;
    }
    EXPECT_GE(opposite * 4, leads * 3) << "T opposite in most leads that show both clearly";
    EXPECT_NEAR(early->rrMs + next->rrMs, 2 * rest.rr, 10) << "fully compensatory pause";
}

// Bigeminy repeats until it is switched off: every second complex comes early, each time, however
// long the pauses between them make the focus's cycle.
TEST_F(NormalHeart, BigeminyLastsUntilSwitchedOff) {
    const Reading rest = Read(Rest());
    for (const char* kind : {"sv-bigeminy", "v-bigeminy"}) {
        SCOPED_TRACE(kind);
        const HeartRun run = RunNormal(
            {std::string("10:") + kind + "=on", std::string("30:") + kind + "=off"}, {}, 40);
        ASSERT_TRUE(run.ok) << run.error;
        int early = 0, normal = 0;
        for (const Beat& b : run.Between(12000, 30000)) {
            if (b.rrMs * 100 < rest.rr * 85) ++early;
            else ++normal;
        }
        std::printf("%s from 12 to 30 s: %d early, %d others\n", kind, early, normal);
        EXPECT_GE(early, 10);
        EXPECT_LE(std::abs(early - normal), 1) << "early and late complexes alternate";
        for (const Beat& b : run.Between(32000, 40000))
            EXPECT_NEAR(b.rrMs, rest.rr, 10) << "sinus rhythm again at " << b.OnsetMs();
    }
}

TEST_F(NormalHeart, EachDrugMovesWhatItShould) {
    const Reading rest = Read(Rest());
    std::map<std::string, Reading> on;
    for (const char* drug : {"Atropine", "Beta-blocker", "Flecainide (class IC)",
                             "Amiodarone (class III)"}) {
        const HeartRun run = RunNormal({std::string("2:drug=") + drug});
        ASSERT_TRUE(run.ok) << drug << ": " << run.error;
        on[drug] = Read(run, 30000);
        const Reading& r = on[drug];
        std::printf("%s: rate %d bpm, PR %d ms (engine %d), QRS %d ms, QT %d ms (engine %d)\n",
                    drug, r.rate, r.pr, r.enginePr, r.qrs, r.qt, r.engineQt);
        for (const Beat& b : r.beats) EXPECT_TRUE(b.HasP()) << drug << " at " << b.OnsetMs();
    }
    std::printf("rest: rate %d bpm, PR %d ms (engine %d), QRS %d ms, QT %d ms (engine %d)\n",
                rest.rate, rest.pr, rest.enginePr, rest.qrs, rest.qt, rest.engineQt);

    const Reading& atropine = on["Atropine"];
    EXPECT_GE(atropine.rate, rest.rate + 10) << "atropine raises the rate";
    EXPECT_LT(atropine.pr, rest.pr);
    const Reading& beta = on["Beta-blocker"];
    EXPECT_LE(beta.rate, rest.rate - 6) << "the beta-blocker lowers the rate";
    EXPECT_GE(beta.pr, rest.pr + 15) << "and lengthens PR";
    EXPECT_GE(beta.enginePr, rest.enginePr + 15);
    const Reading& ic = on["Flecainide (class IC)"];
    EXPECT_GE(ic.qrs, rest.qrs + 15) << "class IC widens the QRS";
    const Reading& iii = on["Amiodarone (class III)"];
    EXPECT_GE(iii.qt, rest.qt + 30) << "class III lengthens QT";
    EXPECT_GE(iii.engineQt, rest.engineQt + 30);
    EXPECT_GE(Qtc(iii.qt, iii.rr), Qtc(rest.qt, rest.rr) + 20) << "also corrected for the rate";
}

TEST_F(NormalHeart, AdenosineBlocksTheAvNodeForAFewSecondsAndWashesOut) {
    const Reading rest = Read(Rest());
    const HeartRun run = RunNormal({"10:drug=Adenosine"}, {}, 40);
    ASSERT_TRUE(run.ok) << run.error;
    // During the block the atria go on (the atrial rate counter) but the ventricles pause.
    int32_t longest = 0, blockEndMs = 0;
    for (const Beat& b : run.Between(10000, 25000))
        if (b.rrMs > longest) {
            longest = b.rrMs;
            blockEndMs = b.OnsetMs();
        }
    std::printf("Adenosine at 10 s:\n");
    Note("longest RR, ms", longest);
    Note("that pause ends at, s", blockEndMs / 1000.0);
    EXPECT_GE(longest, 2 * rest.rr) << "AV conduction blocked: a ventricular pause";
    EXPECT_LT(blockEndMs, 18000) << "for a few seconds";
    // Washed out by itself: conducted sinus beats at the resting rate again.
    EXPECT_EQ(run.heart->cellResetCountdown, 0);
    EXPECT_EQ(run.heart->robustnessLevel, 50);
    const Reading after = Read(run, 25000);
    Note("RR after the washout, ms", after.rr);
    Note("PR after the washout, ms", after.pr);
    ASSERT_GE(after.beats.size(), 10u);
    for (const Beat& b : after.beats) EXPECT_TRUE(b.HasP()) << b.OnsetMs();
    EXPECT_NEAR(after.rr, rest.rr, 10);
    EXPECT_NEAR(after.pr, rest.pr, 10);
}

TEST_F(NormalHeart, VagalManoeuvreAndExercise) {
    const Reading rest = Read(Rest());
    const HeartRun vagalRun = RunNormal({"2:sequence=Vagal manoeuvre"});
    const HeartRun exerciseRun = RunNormal({"2:sequence=Exercise"}, {}, 70);
    ASSERT_TRUE(vagalRun.ok) << vagalRun.error;
    ASSERT_TRUE(exerciseRun.ok) << exerciseRun.error;
    const Reading vagal = Read(vagalRun, 10000);
    const Reading exercise = Read(exerciseRun, 65000);
    std::printf("Vagal manoeuvre: rate %d bpm, PR %d ms; exercise after 60 s: rate %d bpm, PR %d "
                "ms, QT %d ms\n",
                vagal.rate, vagal.pr, exercise.rate, exercise.pr, exercise.qt);
    EXPECT_LE(vagal.rate, 50);
    EXPECT_GT(vagal.pr, rest.pr);
    EXPECT_GE(exercise.rate, 110);
    EXPECT_LT(exercise.pr, rest.pr);
    EXPECT_LT(exercise.engineQt, rest.engineQt);
}

}  // namespace
}  // namespace vantrel::testing
