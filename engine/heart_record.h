// The heart model in memory: every cell of the automaton, every conduction link, and the engine
// state kept between ticks.  One record for the whole run, refilled in place by each model load;
// all storage is fixed so that nothing is allocated while the simulation runs.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/notifier.h"

namespace vantrel {

inline constexpr int kMaxCells = 1000;
inline constexpr int kMaxLinks = 2000;
inline constexpr int kMaxNeighbours = 40;
inline constexpr int kCellNameSize = 12;  // 10 characters at most, NUL-terminated
inline constexpr int kCellNameMaxLength = 10;
inline constexpr int kInertEscape = 60000;       // escapeB at or above this: ablated or necrotic
inline constexpr int32_t kOwnEscape = 0xFFFF;    // trigger value of a cell's own escape
inline constexpr int32_t kNoValue = 32768;       // "no value": missing number, failed formula
inline constexpr int kIntervalTableSize = 1000;
inline constexpr int kElectrodeCount = 15;
inline constexpr int kPrecordialLeads = 6;
inline constexpr int kPrecordialTerms = 10;
inline constexpr int32_t kStandardVectorTerm = 0x7FFF;  // precordial source meaning "standard term"
inline constexpr int kStimProgramSize = 65536;         // bytes of the stimulator's program text
inline constexpr int kMaxFaces = 20;         // faces of one cell's 3D mesh
inline constexpr int kMaxVariables = 100;    // "#Var" declarations of one model
inline constexpr int kMaxPositions = 100;    // "#Pos" declarations of one model
inline constexpr int kSpecialCellCount = 8;  // "Sinus", "RA5", "RA11", "AVN1", "His", "IV5", "LV33", "LV28"

// Integer arithmetic of the engine: 32-bit, truncating divisions, milliseconds converted to ticks
// by division by 5.
inline constexpr int32_t MsToTicks(int32_t ms) { return ms / 5; }

// Value of a tone pair at tone x (0..1000): b applies at tone 0, h at tone 1000.
// Computed in 64 bits so that a model's extreme values cannot overflow; the result is what the
// 32-bit formula gives whenever that formula does not overflow.
inline constexpr int32_t Interp(int32_t b, int32_t h, int32_t x) {
    return static_cast<int32_t>(h + (int64_t{b} - h) * (1000 - x) / 1000);
}

enum class LinkType : int32_t {
    Bidir = 0,        // both directions conduct
    BlocAntero = 1,   // only B to A
    BlocRetro = 2,    // only A to B
    BlocComplet = 3,  // neither
};

// Clicking a link in the picture cycles its type 0, 1, 2, 3, 0.
inline constexpr LinkType NextLinkType(LinkType t) {
    return static_cast<LinkType>((static_cast<int32_t>(t) + 1) % 4);
}

enum class CellState {
    Inert,               // drawn dark
    Depolarization,      // "Depolarization": the impulse is crossing the cell
    Depolarized,         // "Depolarized": absolutely refractory
    RelativeRefractory,  // "Rel.Refr.period"
    Polarized,           // "Polarized"
};

// Result of one cell step: 0 nothing; -128 a counter ran out (redraw); +1..+127 anterograde firing
// (its conduction counter); -1..-127 retrograde firing (minus retrograde ticks + 1).
using CellEvent = int8_t;
inline constexpr CellEvent kEventCounterExpired = -128;

// A premature-beat coupling {min, max} in ms: min 0 = no program; min 1 = fixed coupling of max ms
// after the refractory count; otherwise min applies at tone 0 and max at tone 1000.
struct CouplingPair {
    int32_t min = 0;
    int32_t max = 0;
};

// A point of the model's 3D space (integer units of the model file).
struct Point3 {
    int32_t x = 0, y = 0, z = 0;
};

// What the pictures keep per cell (screen position, shading, drawing chain, 3D geometry); the
// displays own its meaning, the engine never reads it.
struct CellPicture {
    int32_t screenX = 0;
    int32_t screenY = 0;
    int32_t shade = 0;
    int32_t nextInChain = -1;  // next cell in the picture's drawing chain, -1 = none
    int32_t faceCount = 0;     // faces of the cell's 3D mesh (built at load), 0..20
    Point3 faceCentre[kMaxFaces];    // centre of each face
    Point3 faceEdge[kMaxFaces][2];   // midpoints between the cell and the face's two neighbours
};

struct alignas(128) CCell {
    // The fields that every tick reads for every cell (the step, the activity sums, the ECG
    // synthesis), first and together: two adjacent cache lines per cell on the hot path.
    int32_t escapeB = 2000;       // escape period at tone 0, ms; 60000 or more = inert
    int32_t escapeCounter = 0;    // ticks to the next own escape
    int32_t trigger = 0;          // pending excitation: 0 none, 0xFFFF own escape, k from cell k-1
    int32_t fatigue = 0;          // no firing while 100 or more
    int32_t activeWindow = 1;     // ticks left in the recently-fired window (drives the T wave)
    int32_t arpCounter = 0;       // absolute refractory ticks left
    int32_t rrpCounter = 0;       // relative refractory ticks left
    int32_t windowCounter = -1;   // paroxysmal-block window ticks left; -1 = not running
    int32_t conductCounter = 0;   // ticks left for the impulse to cross the cell
    int32_t qrsPhase = 0;         // +9 anterograde, -13 retrograde at firing, then toward 0
    int32_t propagating = 0;      // 1 in the tick in which the impulse leaves the cell
    int32_t amplitude = 10;       // dipole amplitude (may be negative)
    int32_t dipoleX = 0, dipoleY = 0, dipoleZ = 0;
    int8_t qrsShape[8] = {10, 20, 30, 40, 40, 30, 15, 0};  // anterograde QRS, one value per tick
    int32_t jLevel = 0;           // smoothed last QRS value
    int32_t stOffset = 0;         // injury offset carried into the T wave
    int32_t tSmoothed = 0;        // T-wave setting as it follows tWave beat by beat

    char name[kCellNameSize] = {'N', '.', 'U', '.', 0};  // "N.U." until the model names it
    int32_t posX = 0;      // box position in the 2D picture, pixels
    int32_t posY = 0;
    int32_t cellType = 1;  // how the cell is drawn (0 or 1)

    // Tone pairs, ms: B applies at tone 0, H at tone 1000.
    int32_t escapeH = 2000;                    // automaticity period at tone 1000
    int32_t arpB = 150, arpH = 150;            // absolute refractory period
    int32_t rrpB = 10, rrpH = 10;              // relative refractory period, each at least 1
    int32_t antCondB = 10, antCondH = 10;      // anterograde conduction time
    int32_t retCondB = 10, retCondH = 10;      // retrograde conduction time
    // The ten values above as the model file gave them (reset to model values restores them).
    int32_t modelEscapeB = 2000, modelEscapeH = 2000;
    int32_t modelArpB = 150, modelArpH = 150;
    int32_t modelRrpB = 10, modelRrpH = 10;
    int32_t modelAntCondB = 10, modelAntCondH = 10;
    int32_t modelRetCondB = 10, modelRetCondH = 10;
    int32_t windowB = 0, windowH = 0;  // paroxysmal-block window, ms; windowB <= 0 = no window

    int32_t coefCondRrp = 500;  // % on conduction when excited in the relative refractory period
    int32_t coefArpRrp = 80;    // % on the refractory period when excited in it
    int32_t coefCondIsc = 120;  // % on conduction under ischaemia
    int32_t coefArpIsc = 80;    // % on the refractory period under ischaemia
    int32_t arpSlope = -1;      // restitution slope, % of the preceding cycle; -1 = use arpB/arpH
    int32_t arpSmoothed = 0;    // smoothed refractory period, ticks (restitution only)
    int32_t antCondSmoothed = 0;  // smoothed anterograde conduction, eighths of a tick

    CouplingPair ectopicFirst;  // premature-beat program, first coupling
    CouplingPair ectopicNext;   // coupling of the later beats of a run
    int32_t ectopicCount = 0;   // beats left in a run
    int32_t ectopicEvery = 0;   // 0: a run; N > 0: N firings between premature beats
    int32_t ectopicSkip = 0;    // firings still to skip

    int8_t modelQrsShape[8] = {10, 20, 30, 40, 40, 30, 15, 0};

    int32_t flux = 100;           // coronary flow, %
    int32_t ischemiaLoad = 0;     // 0..10000
    int32_t ischemiaStrikes = 0;  // more than 20 makes the cell necrotic

    int32_t usualSource = 0;       // trigger of the first excitation: defines anterograde
    int32_t usualSourceUnset = 1;  // 1 until usualSource is captured
    int32_t lastAnterograde = 0;   // 1 after an anterograde firing
    int32_t fatigueStep = 0;       // added to fatigue at each firing

    int32_t pos3dX = 0, pos3dY = 0, pos3dZ = 0;
    uint32_t definitiveMask = 0;  // kinds of definitive change made by sequences

    int32_t electrodeMark = 0;  // 1..4 intracardiac electrode, 10..12 pacemaker lead, 0 none

    int32_t neighbours[kMaxNeighbours] = {};  // cell indices, one per link touching the cell
    int32_t neighbourCount = 0;

    float radialX = 0, radialY = 0, radialZ = 0;  // unit vector from the heart's centre
    int32_t isochroneRef = 0;    // 1 when this cell restarts the activation clock
    int32_t activationTime = 0;  // activation clock at the last firing, ms
    int32_t tWave = 0;           // T-wave setting; 0 = plain T shape
    int32_t modelTWave = 0;
    int32_t isoRed = 0, isoGreen = 0, isoBlue = 255;  // activation-time colour
    int32_t dirty = 0;  // set by every setter and by the copy; the displays clear it

    // Tone-pair setters; each marks the cell for redrawing.
    void SetEscape(int32_t b, int32_t h);
    void SetArp(int32_t b, int32_t h);
    void SetRrp(int32_t b, int32_t h);  // values below 1 are raised to 1
    void SetAntCond(int32_t b, int32_t h);
    void SetRetCond(int32_t b, int32_t h);
    // Copies everything from another cell record.
    void CopyFrom(const CCell& other);
    // Back to the model's tone pairs, T wave and QRS shape.
    void ResetToModel();
    // Stores the current tone pairs as the model's values (end of a load, start sequence).
    void StoreAsModel();
    void SetName(const char* text);  // cut to 10 characters
    bool IsInert() const { return escapeB >= kInertEscape; }
    CellState State() const;
    // Adds a neighbour unless the list is full (a cell keeps at most 40).
    void AddNeighbour(int32_t cellIndex);
};

const char* CellStateWord(CellState state);  // "Depolarization", ... ; "" for Inert

struct CellLink {
    int32_t cellA = 0;
    int32_t sideA = 1;  // side of cell A's box where the link is drawn: 1, 2, 4, 8 or 16
    int32_t cellB = 0;
    int32_t sideB = 1;
    int32_t orientationFree = 0;  // while 1, the first conduction B to A swaps the ends
    int32_t labelOffset = 0;      // "OffsetX": drawing
    int32_t showMidpoint = 1;     // the picture marks the midpoint with a dot
    int32_t robustA = 80;         // A to B conducts only while robustnessLevel is below this
    int32_t robustR = 70;         // B to A likewise
    LinkType linkType = LinkType::Bidir;
    LinkType modelLinkType = LinkType::Bidir;
    int32_t hitLeft = 0, hitTop = 0, hitRight = 0, hitBottom = 0;  // click square around midpoint
};

// One finished complex of the interval table, ms.  RR of 0 or 1 marks an empty entry.
struct IntervalEntry {
    int32_t rr = 0;
    int32_t pr = 0;
    int32_t qt = 0;
};

// One marker the heart picture draws on a cell (intracardiac electrodes 0..3, pacemaker leads
// 10..12, the rest for the picture's own use).
struct ElectrodeRecord {
    int32_t cell = -1;  // -1 = not placed
    int32_t x = 0, y = 0;
};

// Every engine field of the heart record, at its construction value.  Kept apart from the lock
// and the notifier so that a load can put the whole state back to its start in one assignment.
struct HeartState {
    HeartState();

    // Tone
    int32_t tone = 400;  // sympatho-vagal balance 0..1000
    int32_t toneRampCountdown = 0;
    int32_t toneTarget = 400;
    int32_t modelTone = 400;  // tone at the end of the last load: target of the baseline

    // Cells and links
    CCell cells[kMaxCells];
    // What the pictures keep for cell i, apart from the cell so that the tick does not walk over it.
    CellPicture cellPictures[kMaxCells];
    int32_t cellCount = 0;
    CellLink links[kMaxLinks];
    int32_t linkCount = 0;
    int32_t lastAtrialIndex = 0;        // last cell named "RA", "LA", "IA" or "PV"...; 0 if none
    int32_t firstVentricularIndex = 0;  // first cell named "RV", "LV" or "IV"...; 0 if none

    // Tick bookkeeping
    int32_t tickCount = 0;
    int32_t cellResetCountdown = 0;
    int32_t linkResetCountdown = 0;
    int32_t robustnessLevel = 50;  // link gate 0..100
    int32_t markerFlag = 0;        // a stimulus was delivered this tick
    int32_t sampleMarker = 0;      // copied into every sample

    // Cell step inputs
    int32_t ischemiaOn = 0;
    int32_t diastolicPercent = 100;
    int32_t activationClock = 0;  // ms
    int32_t isochroneRefIndex = 0;
    int32_t pictureMode = 0;  // 3 = activation-time map

    // Shock
    int32_t shockArtifact = 0;

    // Leads
    int32_t icCell[4] = {10, 40, 60, 80};
    int32_t precordial[kPrecordialLeads][kPrecordialTerms][2];  // {source, weight}; source -1 ends
    int32_t cellZ[kMaxCells] = {};
    int32_t tWaveOn = 1;

    // Respiration
    int32_t respOn = 0;
    int32_t respTable[20] = {0, 25, 50, 75, 100, 100, 100, 75, 50, 25,  // one breath, 20 steps
                             0, -25, -50, -75, -100, -100, -100, -75, -50, -25};
    int32_t respSegment = 60;
    int32_t respAmplitude = 15;
    int32_t respTick = 100;
    int32_t respIndex = 0;
    int32_t respValue = 0;

    // Premature beats (focus cells, -1 = none)
    int32_t svpbCell = -1;
    int32_t svpbBgTgCell = -1;
    int32_t vpbCell = -1;
    int32_t vpbBgTgCell = -1;
    // The parameter sets the premature-beat panel's buttons use (ms; counts; occurrence 1/N).
    CouplingPair svpbCoupling{350, 400};  // supraventricular, isolated
    CouplingPair vpbCoupling{300, 400};   // ventricular, isolated
    CouplingPair svRunFirst{350, 400}, svRunNext{450, 500};  // supraventricular run
    int32_t svRunCount = 3;
    CouplingPair vRunFirst{300, 350}, vRunNext{400, 450};  // ventricular run
    int32_t vRunCount = 5;
    CouplingPair svBgTgCoupling{350, 400};  // supraventricular bi- and trigeminy
    int32_t svpbEvery = 2;
    CouplingPair vBgTgCoupling{350, 400};  // ventricular bi- and trigeminy
    int32_t vpbEvery = 2;

    // Pacemaker (ticks)
    int32_t pmMode = 0;
    int32_t pmAtrialCell = -1, pmVentricularCell = -1, pmVentricular2Cell = -1;
    int32_t pmAvDelay = 160;
    int32_t pmPeriod = 171;
    int32_t pmMinPeriod = 100;
    int32_t pmVvDelay = -1;
    int32_t pmAtrialRefractory = 40;
    int32_t pmVentricularBlanking = 60;
    int32_t pmAtrialEscape = 160;
    int32_t pmVentricularEscape = 200;
    int32_t pmV2Countdown = -1;
    int32_t pmAtrialCount = 0;
    int32_t pmAtrialSensed = 0, pmVentricularSensed = 0;
    int32_t pmDddPlus = 0;
    int32_t pmAvHysteresis = 2;
    int32_t pmIrregularity = 0;
    int32_t pmPrevAtrialCount = 171;
    int32_t pmPrevAtrialDiff = 0;

    // Stimulator
    int32_t stimActive = 0;
    int32_t stimRepeatDelay = 120;
    int32_t stimCountdown = -1;  // negative: nothing pending
    char stimProgram[kStimProgramSize] = {};
    int32_t stimPos = 0;
    int32_t stimCell = 10;
    int32_t stimWait = 0;
    int32_t stimRestartPending = 0;

    // Measurements
    int32_t rateCellIndex = 0;
    int32_t rateCount = 0, rateSum = 0, rateTicks = 0;
    int32_t cell5Count = 0, cell5Sum = 0, cell5Ticks = 0;
    int32_t prStart = 0, qrsStart = 0, tEnd = 0;
    int32_t tEndCandidate = 0;  // latest candidate end of repolarisation of the open complex
    int32_t ventricularOnset = -1;  // interval clock (ms) of the open complex's first ventricular firing; -1 none yet
    int32_t qrsOnsetAgo = -1;  // ms from the last closed complex's first ventricular firing to its closing; -1 none
    int32_t prInterval = 0, qtInterval = 0, rrInterval = 1000;
    int32_t measureCountdown = 0;
    int32_t intervalClock = 0, sinusClock = 0;
    int32_t sinusClockCell = -1;
    int32_t recordIntervals = 0;
    int32_t intervalIndex = 0;
    IntervalEntry intervalTable[kIntervalTableSize];
    IntervalEntry referenceTable[kIntervalTableSize];  // the PR/QT plot's saved reference

    // Electrodes of the picture: 0..3 follow icCell, 10..12 the pacemaker leads.
    ElectrodeRecord electrodes[kElectrodeCount];

    // Arrest watch of the view's rate monitor
    int32_t arrestAccumulator = 0;
    int32_t arrestState = 0;  // 0 none, 1 arresting, 2 arrested

    // Start sequence requested by the last load, to run at the first heart-rate sample
    int32_t startSequencePending = 0;

    // Model reader.  Everything below is written by a load only, never during ticks, so texts
    // and lists may allocate.
    std::string currentModelName;            // file of the last load whose file opened; "" default
    std::string loadStatus = "Structure OK";  // last error message of the load (8-bit text)
    int32_t loadLine = 0;                     // line number for messages; first body line is 2
    std::string modelDate;      // header text after "Date"
    std::string modelComments;  // comments section, lines joined with CR LF
    std::string drugText;       // drugs section with the included drug files
    std::string sequenceText;   // sequences section with the included sequence files
    std::string modelTitle;     // title for the view after a successful load
    // Indices of "Sinus", "RA5", "RA11", "AVN1", "His", "IV5", "LV33", "LV28" (-1: no sinus).  A
    // missing cell gets a fixed default index that may lie beyond cellCount: check before use.
    int32_t specialCells[kSpecialCellCount] = {-1, 2, 3, 3, 4, 5, 6, 7};
    int32_t storedChecksum = 0;    // header "CS="
    int32_t computedChecksum = 0;  // sum over the checksummed lines of the last load

    // Model language tables of the last load.
    std::vector<std::string> variableNames;  // "#Var", at most 100
    int32_t variableValues[kMaxVariables] = {};
    std::vector<std::string> positionNames;  // "#Pos", at most 100
    Point3 positions[kMaxPositions];
    std::vector<std::string> pointDefinitions;  // "#define" texts
    int32_t pointSelection = -1;  // point definition of the last "XYZ"; -1 = none (origin)

    // Picture grid and the anchor of the last 3D point computed.
    int32_t gridStepX = 30, gridStepY = 26;    // pixels per grid column / row
    int32_t gridOffsetX = 0, gridOffsetY = 0;  // pixels
    int32_t anchorX = 0, anchorY = 0, anchorZ = 0;
};

struct CCoeur : HeartState {
    CCoeur();
    CCoeur(const CCoeur&) = delete;
    CCoeur& operator=(const CCoeur&) = delete;

    // The model lock: the clock holds it for one tick plus its sample; every write from the user
    // interface thread to the record holds it too.
    std::mutex lock;
    // Where the engine's window messages and the reader's message boxes go; never null (a silent
    // notifier until the desktop or the runner installs its own).
    EngineNotifier* notifier;

    // Index of the first cell named exactly `name`, or -1.
    int32_t FindCell(const char* name) const;
    // Every cell back to its model values, then the link gate back to 50 (the drug washout).
    void ResetAllCells();
    // Every link back to its model type.
    void RestoreLinks();
    // Writes each cell's electrode mark (intracardiac 1..4, then pacemaker 10..12, else 0).
    void MarkElectrodes();
    // Clamps to 0..1000 and stores, ending a running tone ramp; with notify, posts message 1035
    // with the new tone.
    void SetTone(int32_t newTone, bool notify);
    // Empties the record (no cells, no links) with every engine field at its construction value;
    // a model load starts from here.
    void Clear();
    // How many times the record has been emptied.  The links' ends are the model's: they are
    // written only after a clearing (a new model), so the clock's tick knows its lists of the
    // links touching each cell still hold while this count stands.
    uint32_t clearings = 0;
};

}  // namespace vantrel
