#pragma once
// Keeps the text of an edit box within a number of characters (code points): what is typed or
// pasted past the limit is dropped, and a character is never cut in two. UI thread only.
#include <QString>

#include <cstddef>

class QLineEdit;
class QPlainTextEdit;

namespace tavora::framework::ui {

// The first `maxCharacters` characters of the text, whole.
QString leadingCharacters(const QString& text, std::size_t maxCharacters);

void limitCharacters(QLineEdit* edit, std::size_t maxCharacters);
void limitCharacters(QPlainTextEdit* edit, std::size_t maxCharacters);

} // namespace tavora::framework::ui
