#pragma once
// The command numbers panels send to the main panel and the Home page. They are kept as
// the original numbers so logs and the other subsystems' panels speak the same language.
namespace tavora::app {

enum Command : int {
    CmdOpenBunseki = 127,
    CmdReopen130 = 130,
    CmdReopen131 = 131,
    CmdReopen135 = 135,
    CmdOpenMemoProp = 147,
    CmdReloadCodeList = 155,
    CmdDownloadPage = 167,
    CmdRelayoutCharts = 160,
    CmdNextCode = 265,
    CmdPrevCode = 266,
    CmdSaveAs = 270,
    CmdSave = 271,
    CmdSheetApply = 302,
    CmdOpenCtrlProp = 323,
    CmdOpenColor = 373,
    CmdPrint = 375,
    CmdOpenImportExport = 379,
    CmdHelpMenu = 381,
    CmdUndo = 446,
    CmdRedo = 448,
    CmdCloseSheet = 508,
    CmdOpenDocument = 528,
    CmdSearch = 532,
    CmdFirstCode = 537,
    CmdLastCode = 538,
    CmdRefresh = 539,
    CmdToggleFavourite = 544,
    CmdFavouritesOnly = 546,
    CmdNewDocument = 549,
    CmdMinimize = 568,
    CmdNoticeClicked = 595,
    CmdRefreshImportFolder = 1124,  // a download stored files in the import folder
    // Internal notifications of the Home page to the main window (no original number).
    CmdStoreAdView = 10001, // the web side panel's view type changed: store it now
    CmdStoreScale = 10002,  // the current code's scale is in the context: store its row
};

// Parameters of command 160.
enum RelayoutParam : int { RelayoutFull = 161, RedrawVariant162 = 162, RedrawVariant163 = 163 };

}  // namespace tavora::app
