// The desktop application's entry point.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, "Tavora", "Tavora Ver1.7.6");
    return 0;
}
