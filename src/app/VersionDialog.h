#pragma once
// "Tavoraのソフトウエア情報": the program's name, version and the notice text, 600 x 500,
// centred on the work area. UI thread only.
#include <QDialog>

namespace tavora::app {

struct AppContext;

class VersionDialog : public QDialog {
    Q_OBJECT
public:
    VersionDialog(const AppContext& ctx, QWidget* parent);
    void showCentred();
};

}  // namespace tavora::app
