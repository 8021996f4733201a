#include "app/ApliWindow.h"

#include "annotations/ui/DocumentCommands.h"
#include "app/AppIcon.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "app/core/WindowPlacement.h"
#include "framework/ui/TitleTabBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace tavora::app {

namespace {
constexpr int UpdateNoticeDelayMs = 500;
constexpr QSize kDefaultSize(1400, 860);
const QColor kFrameColour(0x9C, 0x9C, 0x9C);

QString caption(const AppContext& ctx) { return QString::fromStdString(ctx.appTitle + " " + ctx.versionText); }
}  // namespace

ApliWindow::ApliWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx),
      m_tabs(new framework::ui::TitleTabBar(appIcon(), caption(ctx),
                                            {{"ホーム", 2, 70}, {"データ取込", 74, 110}, {"設定", 186, 50},
                                             {"ヘルプ", 238, 50}},
                                            this)),
      m_main(new MainPanel(ctx, m_tabs, this)) {
    setObjectName("Tavora");
    setWindowTitle(caption(ctx));
    setWindowIcon(appIcon());
    // Small enough for any screen, large enough for the head and the tool column to fit.
    setMinimumSize(m_main->minimumSizeHint() + QSize(2 * FrameWidth, 2 * FrameWidth + m_tabs->height()));
    resize(kDefaultSize);
    connect(m_main, &MainPanel::minimizeRequested, this, &QWidget::showMinimized);
    connect(m_main, &MainPanel::closeRequested, this, &QWidget::close);
    connect(m_main, &MainPanel::showWindowRequested, this, [this] {
        if (isMinimized() || !isVisible())
            showNormal();
        raise();
        activateWindow();
    });
    // The title shows the document's path once it has one, with "*" while work would be lost.
    connect(m_main->homePanel()->documents(), &annotations::ui::DocumentCommands::titleChanged, this,
            [this](const QString& title) {
                setWindowTitle(title.isEmpty() ? caption(m_ctx) : caption(m_ctx) + " - " + title);
            });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
}

ApliWindow::~ApliWindow() = default;

void ApliWindow::layoutFrame() {
    const int w = width();
    const int h = height();
    m_tabs->setGeometry(FrameWidth, FrameWidth, std::max(0, w - 2 * FrameWidth), m_tabs->height());
    const int top = FrameWidth + m_tabs->height();
    m_main->setGeometry(FrameWidth, top, std::max(0, w - 2 * FrameWidth), std::max(0, h - FrameWidth - top));
    m_main->layoutPages();
}

void ApliWindow::resizeEvent(QResizeEvent*) {
    if (m_firstLayoutPending && !m_firstLayoutDone) {
        firstLayout();
        return;
    }
    layoutFrame();
    storeRect();
}

void ApliWindow::firstLayout() {
    m_firstLayoutPending = false;
    m_firstLayoutDone = true;
    setGeometry(fittedGeometry());
    if (!m_ctx.pendingUpdate.empty()) {
        QTimer::singleShot(UpdateNoticeDelayMs, this, [this] {
            if (!m_ctx.pendingUpdate.empty())
                m_main->showUpdateNotice(QString("%1の更新プログラムがみつかりました。ヘルプタブよりソフトウエアアップデートを実行してください。")
                                             .arg(QString::fromStdString(m_ctx.appTitle)));
        });
    }
    layoutFrame();
    m_main->homePanel()->openCurrentCode();
    m_main->homePanel()->openStartupDocument();
    m_main->homePanel()->focusChart(); // the chart's keys work from the start
    if (m_splash)
        m_splash->hide();
    storeRect();
    emit firstLayoutFinished();
}

// The stored rectangle (or the default size) fitted into the screen the window opens on.
QRect ApliWindow::fittedGeometry() const {
    PlacementInput in;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* s : screens) {
        const QRect a = s->availableGeometry();
        in.screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    in.openingScreen = std::max<int>(0, int(screens.indexOf(screen())));
    if (const auto& r = m_ctx.settings.windowRect; r && r->right > r->left && r->bottom > r->top)
        in.stored = PlaceRect{r->left, r->top, r->right - r->left, r->bottom - r->top};
    in.defaultSize = {kDefaultSize.width(), kDefaultSize.height()};
    in.minimumSize = {minimumWidth(), minimumHeight()};
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    in.frame = {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const PlaceRect r = placeWindow(in);
    return QRect(r.x, r.y, r.width, r.height);
}

void ApliWindow::moveEvent(QMoveEvent*) { storeRect(); }

void ApliWindow::storeRect() {
    if (!m_firstLayoutDone || isMinimized() || isMaximized() || isFullScreen())
        return;  // keep the last normal rectangle for the next start
    const QRect g = geometry();
    m_ctx.settings.windowRect = settings::WindowRect{g.left(), g.top(), g.right() + 1, g.bottom() + 1};
}

void ApliWindow::closeEvent(QCloseEvent* event) {
    // Ctrl+Q, the close button and the software update all end here: unsaved work is asked
    // about first, and キャンセル keeps the program running.
    if (!m_closed && !m_main->homePanel()->documents()->settleUnsavedWork()) {
        m_ctx.updateOnExit = false; // a software update asked for with this close is called off too
        event->ignore();
        return;
    }
    if (!m_closed) {
        m_closed = true;
        if (m_shutdown)
            m_shutdown();
    }
    event->accept();
    // A floating chart window would keep the program running; closing the main window ends it.
    QCoreApplication::exit(0);
}

void ApliWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFrameColour);
}

}  // namespace tavora::app
