#pragma once
// The stored form of chart documents (".tvrd" files): the statements that create and fill the
// two document tables, the columns of `graphctrltb` in the order every statement names them,
// and the recent-files table of "fileopenhis.db". Documents made by other versions of the
// program hold exactly these tables, so the texts are kept as they are.
#include <array>
#include <string_view>

namespace tavora::annotations {

inline constexpr std::string_view kDocumentSuffix = "tvrd";
inline constexpr std::string_view kRecentFilesName = "fileopenhis.db";

inline constexpr const char* kCreateOkiniSql =
    "CREATE TABLE IF NOT EXISTS 'okinitb' (code TEXT PRIMARY KEY,sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,"
    "sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,sonota7 TEXT,sonota8 TEXT,sonota9 TEXT,sonota10 TEXT,sonota11 "
    "TEXT,sonota12 TEXT,sonota13 TEXT,sonota14 TEXT,sonota15 TEXT,sonota16 TEXT,sonota17 TEXT)";

inline constexpr const char* kCreateGraphCtrlSql =
    "CREATE TABLE IF NOT EXISTS 'graphctrltb' (idkikancode TEXT PRIMARY KEY,id INTEGER,classname TEXT,date "
    "TEXT,enddate TEXT,hichi INTEGER,vichi INTEGER,takane_kijyun TEXT,range_x INTEGER,range_y "
    "INTEGER,init_range_y INTEGER,str TEXT,left INTEGER,top TEXT,width INTEGER,height INTEGER,font_cr "
    "TEXT,font_size INTEGER,fontweight INTEGER,fontmenu TEXT,pen_cr TEXT,penStyle INTEGER,penWidth "
    "INTEGER,prev_pixel_to_yen TEXT,pixel_to_yen TEXT,init_y_ichimemori INTEGER,init_x_haba_p "
    "INTEGER,init_pixel_to_yen TEXT,view_bl TEXT,kikan TEXT,daycount TEXT,nehaba TEXT,endyonhonne "
    "INTEGER,startyonhonne INTEGER,endpixel INTEGER,startdate TEXT,owaridate TEXT,endrange_y INTEGER,code "
    "TEXT,yoko_ichi INTEGER,sonota1 TEXT,sonota2 TEXT,sonota3 TEXT,sonota4 TEXT,sonota5 TEXT,sonota6 "
    "TEXT,sonota7 TEXT,sonota8 TEXT,sonota9 TEXT,sonota10 TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 "
    "TEXT,sonota14 TEXT,sonota15 TEXT,sonota16 TEXT,sonota17 TEXT)";

inline constexpr const char* kInsertOkiniSql = "INSERT INTO 'okinitb' (code) VALUES (?);";

inline constexpr const char* kInsertGraphCtrlSql =
    "INSERT INTO 'graphctrltb' "
    "(idkikancode,id,classname,date,enddate,hichi,vichi,takane_kijyun,range_x,range_y,init_range_y,str, "
    "left,top,width,height,font_cr,font_size,fontweight,fontmenu,pen_cr,penStyle,penWidth,prev_pixel_to_"
    "yen,pixel_to_yen,init_y_ichimemori,init_x_haba_p,init_pixel_to_yen,view_bl,kikan,daycount,nehaba,"
    "endyonhonne,startyonhonne,endpixel,startdate,owaridate,endrange_y,code,yoko_ichi) values "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

inline constexpr const char* kInsertHistorySql =
    "INSERT INTO 'history_graphctrltb' "
    "(idkikancode,id,classname,date,enddate,hichi,vichi,takane_kijyun,range_x,range_y,init_range_y,str, "
    "left,top,width,height,font_cr,font_size,fontweight,fontmenu,pen_cr,penStyle,penWidth,prev_pixel_to_"
    "yen,pixel_to_yen,init_y_ichimemori,init_x_haba_p,init_pixel_to_yen,view_bl,kikan,daycount,nehaba,"
    "endyonhonne,startyonhonne,endpixel,startdate,owaridate,endrange_y,code,yoko_ichi,updnum) values "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);";

inline constexpr const char* kCreateFileOpenSql =
    "CREATE TABLE IF NOT EXISTS 'fileopentb' (path TEXT PRIMARY KEY,time INTEGER,sonota2 TEXT,sonota3 "
    "TEXT,sonota4 TEXT,sonota5 TEXT,sonota6 TEXT,sonota7 TEXT,sonota8 TEXT,sonota9 TEXT,sonota10 "
    "TEXT,sonota11 TEXT,sonota12 TEXT,sonota13 TEXT,sonota14 TEXT,sonota15 TEXT,sonota16 TEXT,sonota17 "
    "TEXT)";

// The stored columns of `graphctrltb`, in the order of the INSERT statements above.
enum GraphCtrlColumn : int {
    ColIdKikanCode,
    ColId,
    ColClassName,
    ColDate,
    ColEndDate,
    ColHichi,
    ColVichi,
    ColTakaneKijyun,
    ColRangeX,
    ColRangeY,
    ColInitRangeY,
    ColStr,
    ColLeft,
    ColTop,
    ColWidth,
    ColHeight,
    ColFontCr,
    ColFontSize,
    ColFontWeight,
    ColFontMenu,
    ColPenCr,
    ColPenStyle,
    ColPenWidth,
    ColPrevPixelToYen,
    ColPixelToYen,
    ColInitYIchimemori,
    ColInitXHabaP,
    ColInitPixelToYen,
    ColViewBl,
    ColKikan,
    ColDayCount,
    ColNehaba,
    ColEndYonhonne,
    ColStartYonhonne,
    ColEndPixel,
    ColStartDate,
    ColOwariDate,
    ColEndRangeY,
    ColCode,
    ColYokoIchi,
    GraphCtrlColumnCount
};

// Column names and declared types, indexed by GraphCtrlColumn.
struct GraphCtrlColumnInfo {
    std::string_view name;
    std::string_view type; // "TEXT" or "INTEGER"
};
inline constexpr std::array<GraphCtrlColumnInfo, GraphCtrlColumnCount> kGraphCtrlColumns{{
    {"idkikancode", "TEXT"},      {"id", "INTEGER"},
    {"classname", "TEXT"},        {"date", "TEXT"},
    {"enddate", "TEXT"},          {"hichi", "INTEGER"},
    {"vichi", "INTEGER"},         {"takane_kijyun", "TEXT"},
    {"range_x", "INTEGER"},       {"range_y", "INTEGER"},
    {"init_range_y", "INTEGER"},  {"str", "TEXT"},
    {"left", "INTEGER"},          {"top", "TEXT"},
    {"width", "INTEGER"},         {"height", "INTEGER"},
    {"font_cr", "TEXT"},          {"font_size", "INTEGER"},
    {"fontweight", "INTEGER"},    {"fontmenu", "TEXT"},
    {"pen_cr", "TEXT"},           {"penStyle", "INTEGER"},
    {"penWidth", "INTEGER"},      {"prev_pixel_to_yen", "TEXT"},
    {"pixel_to_yen", "TEXT"},     {"init_y_ichimemori", "INTEGER"},
    {"init_x_haba_p", "INTEGER"}, {"init_pixel_to_yen", "TEXT"},
    {"view_bl", "TEXT"},          {"kikan", "TEXT"},
    {"daycount", "TEXT"},         {"nehaba", "TEXT"},
    {"endyonhonne", "INTEGER"},   {"startyonhonne", "INTEGER"},
    {"endpixel", "INTEGER"},      {"startdate", "TEXT"},
    {"owaridate", "TEXT"},        {"endrange_y", "INTEGER"},
    {"code", "TEXT"},             {"yoko_ichi", "INTEGER"},
}};

} // namespace tavora::annotations
