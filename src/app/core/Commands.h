#pragma once
// The commands the panels send to the main panel, the Home page and the データ取込 page. The
// values are the original command numbers: logs, button object names ("command_149") and the
// screenshot automation (TAVORA_SCREENSHOT_COMMAND) speak the same numbers. Plain values, any
// thread; every ui folder and app/ include this one list instead of keeping copies.
namespace tavora::app {

enum class Command : int {
    // The pointer tools of the Home page's tool column.
    CrossCursor = 110,
    Takayasu = 111,
    RangeTime = 112,
    RangeNedan = 114,
    Line = 115,
    TimePrice = 144,
    SelectTool = 146,
    TextTool = 535,
    MemoTool = 551,

    // The side sheet and its property panels.
    OpenBunseki = 127,
    OpenMemoProp = 147,
    SheetApply = 302,
    OpenCtrlProp = 323,
    OpenColor = 373,
    CloseSheet = 508,

    // The price data: the データ取込 page's buttons and panels, and the settings page's
    // backup, restore, download-page and code-list buttons.
    Register = 149,
    RunRegistration = 150,
    OldData = 151,
    Restore = 152, // opens the restore panel
    ReloadCodeList = 155,
    Download = 156,
    ImportCode = 158,
    ExportCode = 159,
    Backup = 165,
    DownloadPage = 167,
    OpenCodeData = 379,
    RefreshImportFolder = 1124, // a download stored files in the import folder

    // The Home page: charts, navigation, favourites and documents.
    RelayoutCharts = 160,
    NextCode = 265,
    PrevCode = 266,
    SaveAs = 270,
    Save = 271,
    Undo = 446,
    Redo = 448,
    OpenDocument = 528,
    Search = 532,
    FirstCode = 537,
    LastCode = 538,
    Refresh = 539,
    OpenUserGraphData = 541,
    ToggleFavourite = 544,
    FavouritesOnly = 546,
    NewDocument = 549,

    // The main window.
    Print = 375,
    HelpMenu = 381,
    Minimize = 568,
    NoticeClicked = 595,

    // Internal notifications of the Home page to the main window (no original number).
    StoreAdView = 10001, // the web side panel's view type changed: store it now
    StoreScale = 10002,  // the current code's scale is in the context: store its row
};

// The number a command is logged and named by.
constexpr int commandNumber(Command command) {
    return static_cast<int>(command);
}

} // namespace tavora::app
