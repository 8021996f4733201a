#include "cli/TextProgress.h"

#include "csv/PriceRegistration.h"

#include "framework/ShownText.h"

#include <unistd.h>

#include <iostream>
#include <regex>
#include <utility>

namespace tavora::cli {

namespace {

// The core's progress texts are the status bar's, in Japanese; the terminal gets them in
// English (file and code names stay as they are).
std::string englishStatus(const std::string& text) {
    static const std::pair<const char*, const char*> fixed[] = {
        {"データの取得", "reading the data folder"},
        {"バックアップ作成中", "making a backup"},
        {"バックアップを作成しました", "backup made"},
        {"バックアップを作成できませんでした", "the backup failed"},
        {"データを復元中", "restoring the prices"},
        {"データベースに書き込み中", "writing to the price database"},
        {"ダウンロード開始", "download started"},
        {"moravelとデータ同期中", "merging the companion's prices"},
        {"moravelとデータ同期キャンセル", "merging the companion's prices was cancelled"},
        {"サーバーと再接続します", "reconnecting to the server"},
        {"サーバーと再接続しました", "reconnected to the server"},
        {"サーバーと再接続できません", "cannot reconnect to the server"},
        {"更新プログラムの確認", "checking for updates"},
        {"中止しています…", "stopping..."},
    };
    for (const auto& [japanese, english] : fixed)
        if (text == japanese)
            return english;
    static const std::regex registered("^([0-9]+) 件登録$");
    static const std::regex downloading("^ダウンロード中([0-9]+)％$");
    static const std::regex days("^([0-9]+) 件中 成功 ([0-9]+)件　失敗 ([0-9]+)件 (.*)$");
    if (const std::string_view checking = csv::kCheckingText; text.starts_with(checking))
        return "checking " + text.substr(checking.size());
    std::smatch m;
    if (std::regex_match(text, m, registered))
        return m[1].str() + " rows registered";
    if (std::regex_match(text, m, downloading))
        return "downloading " + m[1].str() + "%";
    if (std::regex_match(text, m, days))
        return m[1].str() + " days: " + m[2].str() + " stored, " + m[3].str() + " failed " + m[4].str();
    return text;
}

} // namespace

TextProgress::TextProgress(bool verbose) : m_verbose(verbose), m_tty(::isatty(STDERR_FILENO) == 1) {}

void TextProgress::status(const std::string& japanese) {
    const std::string text = englishStatus(japanese);
    if (text.empty()) {
        endLine();
        m_last.clear();
        return;
    }
    if (m_tty) {
        std::cerr << "\r\033[K" << framework::shownLine(text) << std::flush;
        m_open = true;
    } else if (text != m_last) {
        std::cerr << framework::shownLine(text) << "\n";
    }
    m_last = text;
}

void TextProgress::logLine(const std::string& line) {
    if (!m_verbose)
        return;
    endLine();
    std::cerr << "log: " << framework::shownLine(line) << "\n";
}

void TextProgress::endLine() {
    if (m_open)
        std::cerr << "\n";
    m_open = false;
}

} // namespace tavora::cli
