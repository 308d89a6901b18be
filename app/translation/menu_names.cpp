#include "app/translation/menu_names.h"


namespace vantrel {

namespace {

struct NamedNumber {
    std::string_view name;
    MenuNameKind kind;
    int number;
};

constexpr MenuNameKind kCommand = MenuNameKind::Command;
constexpr MenuNameKind kBar = MenuNameKind::MenuBar;
constexpr MenuNameKind kResource = MenuNameKind::Resource;

constexpr NamedNumber kNames[] = {
    // Menu commands.
    {"ID_LOAD_HEART", kCommand, 32784},
    {"ID_FILE_PRINT", kCommand, 57607},
    {"ID_FILE_PRINT_SETUP", kCommand, 57606},
    {"ID_APP_EXIT", kCommand, 57665},
    {"ID_DISPLAY_USER", kCommand, 32776},
    {"ID_DISPLAY_EXPLORE", kCommand, 32779},
    {"ID_DISPLAY_MODEL", kCommand, 32775},
    {"ID_DISPLAY_3D", kCommand, 32795},
    {"ID_DISPLAYQT", kCommand, 32805},
    {"ID_DISPLAY_GRID", kCommand, 32790},
    {"ID_TWAVES", kCommand, 32780},
    {"ID_HTMLENLARGE", kCommand, 32782},
    {"ID_GOBACK2", kCommand, 32778},
    {"ID_RECORDECG", kCommand, 32788},
    {"ID_SEL_LANGUAGE", kCommand, 32801},
    {"ID_ADJUST_MOVELEFT", kCommand, 32792},
    {"ID_ADJUST_PARAMETERS", kCommand, 32793},
    {"ID_ADJUST_NOMINAL", kCommand, 32781},
    {"ID_SETUPAPP", kCommand, 32794},
    {"ID_PM", kCommand, 32797},
    {"ID_ORTHO", kCommand, 32798},
    {"ID_CHOC", kCommand, 32796},
    {"ID_AutoModelling", kCommand, 32806},
    {"ID_Respiration", kCommand, 32803},
    {"ID_MACRO", kCommand, 32800},
    {"ID_NEXT_NEXTTIME", kCommand, 32772},
    {"ID_NEXT_RUN", kCommand, 32774},
    {"ID_HTML_NORMAL", kCommand, 32783},
    {"ID_HTMLFORWARD", kCommand, 32789},
    {"ID_HM_COMMENTS", kCommand, 32799},
    {"ID_APP_ABOUT", kCommand, 57664},
    {"ID_ADJUST_MOVERIGHT", kCommand, 32791},
    // Menu-bar entries by position.
    {"ID_FILE", kBar, 0},
    {"ID_DISPLAY", kBar, 1},
    {"ID_AJUST", kBar, 2},
    {"ID_TOOLS", kBar, 3},
    {"ID_STEP", kBar, 4},
    {"ID_NAVIGATE", kBar, 5},
    {"ID_LANGUAGE", kBar, 6},
    // Dialogs and their controls.
    {"IDD_CELL", kResource, 132},
    {"IDD_REGLAGE", kResource, 145},
    {"IDC_Coef", kResource, 1119},
    {"IDD_ABOUTBOX", kResource, 100},
    {"IDD_AJUST_CT", kResource, 0},
    {"IDD_DISPLAYQT", kResource, 0},
    {"IDD_HMCOMMENTS", kResource, 0},
    {"IDD_SELECT_DRUG", kResource, 0},
    {"IDD_SELECT_SEQ", kResource, 0},
    {"IDC_SETCELL", kResource, 0},
    {"IDC_SETUP", kResource, 0},
    {"IDC_CHOOSELANGUAGE", kResource, 0},
    {"IDC_SELECT_HEART", kResource, 0},
    {"IDC_WELCOME", kResource, 0},
    {"IDC_CADRESVPB", kResource, 1032},
    {"IDC_CADREVPB", kResource, 1033},
    {"IDC_CADREISOL", kResource, 1034},
    {"IDC_CADRERUN", kResource, 1036},
    {"IDC_CADREBGTG", kResource, 1056},
    {"IDC_CPLINT", kResource, 1058},
    {"IDC_1CPLINT", kResource, 1062},
    {"IDC_2CPLINT", kResource, 1063},
    {"IDC_NBSUCC", kResource, 1066},
    {"IDC_OCC", kResource, 1068},
    {"IDC_MINIMUM", kResource, 1070},
    {"IDC_MAXIMUM", kResource, 1072},
    {"IDC_REFCELL_INT", kResource, 1030},
    {"IDC_CLICKLIEN_FV", kResource, 1119},
    {"IDC_LANGUAGE", kResource, 1031},
    {"IDC_RELOADAPP", kResource, 1117},
    {"IDC_EscapeT", kResource, 1021},
    {"IDC_ConductAnt", kResource, 1022},
    {"IDC_ConductRetro", kResource, 1023},
    {"IDC_ARP", kResource, 1024},
    {"IDC_RRP", kResource, 1025},
    {"IDC_Valeur", kResource, 1026},
    {"IDC_MIN", kResource, 1027},
    {"IDC_MAX", kResource, 1028},
    {"IDC_ABLATE", kResource, 1116},
    {"IDC_SETCT_CELL", kResource, 1111},
    {"IDC_SETCT_ARP", kResource, 1113},
    {"IDC_CT_RESULT", kResource, 1115},
    {"IDC_MN_CT", kResource, 1070},
    {"IDC_MX_CT", kResource, 1072},
    {"IDOKSTD", kResource, 1},
    {"IDCANCELSTD", kResource, 2},
    {"IDOKDRUG", kResource, 1},
    {"IDOKSEQ", kResource, 1},
    {"IDCANCELDRUG", kResource, 2},
    {"ID_VPB", kResource, 101},
    {"ID_SVPB", kResource, 102},
    {"ID_RA", kResource, 103},
    {"ID_LA", kResource, 104},
    {"ID_RV", kResource, 105},
    {"ID_LV", kResource, 106},
    {"ID_SEL_LEAD1", kResource, 107},
    {"ID_SEL_LEAD2", kResource, 108},
    {"ID_SEL_LEAD3", kResource, 109},
    {"ID_SEL_LEAD4", kResource, 110},
    {"ID_RECORD", kResource, 127},
    {"IDC_SVPBx", kResource, 1012},
    {"IDC_VPBx", kResource, 1013},
    {"IDC_SVBg", kResource, 1014},
    {"IDC_VBg", kResource, 1015},
};

}  // namespace

std::optional<MenuName> FindMenuName(std::string_view name) {
    for (const NamedNumber& entry : kNames)
        if (entry.name == name) return MenuName{entry.kind, entry.number};
    return std::nullopt;
}

const char* CommandName(int commandId) {
    for (const NamedNumber& entry : kNames)
        if (entry.kind == MenuNameKind::Command && entry.number == commandId) return entry.name.data();
    return nullptr;
}

}  // namespace vantrel
