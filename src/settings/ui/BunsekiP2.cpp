#include "settings/ui/BunsekiP2.h"

#include "analysis/BunsekiTemplates.h"
#include "framework/ui/MessageBox.h"
#include "settings/ui/BunsekiP2SyousaiP.h"
#include "settings/ui/BunsekiP2TableP.h"
#include "settings/ui/PanelHead.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavora::settings::ui {

using framework::ui::MessageBox;

BunsekiP2::BunsekiP2(Host host, QWidget* parent)
    : SideSheetPanel(parent), m_host(std::move(host)), m_problem(new QLabel(this)),
      m_table(new BunsekiP2TableP(this)), m_detail(new BunsekiP2SyousaiP(this)) {
    setObjectName("BunsekiP");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makePanelTitle(this, "分析グラフの編集"));
    layout->addWidget(new QLabel("登録済み分析グラフ", this));
    m_problem->setObjectName("loadproblem");
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet("color: #c00000;");
    m_problem->hide();
    layout->addWidget(m_problem);
    layout->addWidget(m_table, 1);
    layout->addWidget(new QLabel("分析グラフの編集", this));
    layout->addWidget(m_detail);

    connect(m_table, &BunsekiP2TableP::rowSelected, this, &BunsekiP2::selectRow);
    connect(m_table, &BunsekiP2TableP::shownClicked, this, &BunsekiP2::toggleShown);
    connect(m_detail, &BunsekiP2SyousaiP::registerRequested, this, &BunsekiP2::registerDetail);
    connect(m_detail, &BunsekiP2SyousaiP::deleteRequested, this, &BunsekiP2::deleteDetail);
    connect(m_detail, &BunsekiP2SyousaiP::templateRequested, this, &BunsekiP2::addTemplate);
}

void BunsekiP2::initPanel() {
    const analysis::BunsekiResult read = m_model.load(m_host.dbPath);
    m_problem->setVisible(!read.ok);
    if (!read.ok)
        m_problem->setText(
            QString::fromUtf8("登録済みの分析グラフ（bunseki.db）を読み込めません。"
                              "保存されているグラフを失わないよう、登録・削除・適用はできません。\n") +
            QString::fromStdString(read.error));
    m_detail->setEditingEnabled(read.ok);
    m_detail->setDetail(analysis::BunsekiDetail{}, true);
    showRows(std::nullopt);
    emit applyAllowedChanged();
}

void BunsekiP2::showRows(std::optional<int> selected) {
    m_table->setRows(m_model.rows(), selected);
}

void BunsekiP2::selectRow(int row) {
    if (row < 0 || std::size_t(row) >= m_model.rows().size())
        return;
    const analysis::BunsekiRow& cells = m_model.rows()[std::size_t(row)];
    m_detail->setDetail(analysis::detailOfRow(cells), !analysis::isRoleGraphName(cells[0]));
}

void BunsekiP2::toggleShown(int row) {
    if (!m_model.readable() || row < 0 || std::size_t(row) >= m_model.rows().size())
        return;
    m_model.toggleShown(std::size_t(row));
    const analysis::BunsekiRow& cells = m_model.rows()[std::size_t(row)];
    // The detail of the same graph follows the table.
    if (m_detail->nameEdit()->text().toStdString() == cells[0])
        m_detail->shownBox()->setChecked(cells[1] == "1");
    showRows(m_table->selectedRow());
}

void BunsekiP2::registerDetail() {
    if (!m_model.readable())
        return;
    const analysis::BunsekiDetail detail = m_detail->detail();
    if (const auto problem = analysis::registrationProblem(detail, m_detail->kindEditable())) {
        MessageBox::information(this, QString::fromStdString(*problem), QString());
        return;
    }
    const std::size_t row = m_model.registerDetail(detail);
    showRows(int(row));
    // Stored as typed all the same: the user may finish it later.
    if (const auto notice = analysis::undrawnFormulaNotice(detail, m_model.rows()[row]))
        MessageBox::information(this, QString::fromStdString(*notice), QString());
}

void BunsekiP2::addTemplate(int index) {
    const auto templates = analysis::bunsekiTemplates();
    if (!m_model.readable() || index < 0 || std::size_t(index) >= templates.size())
        return;
    const std::size_t before = m_model.rows().size();
    if (m_model.addRows(templates[std::size_t(index)].rows) == 0) {
        MessageBox::information(this, "このテンプレートのグラフはすべて登録済みです。", QString());
        return;
    }
    showRows(int(before));
    selectRow(int(before));
}

void BunsekiP2::deleteDetail() {
    if (!m_model.readable())
        return;
    const std::string name = m_detail->nameEdit()->text().toStdString();
    if (name.empty()) {
        MessageBox::information(this, "グラフ名が入力されていません。", QString());
        return;
    }
    if (m_model.remove(name))
        showRows(std::nullopt);
}

bool BunsekiP2::applyChanges() {
    if (!m_model.readable())
        return false; // the apply button is off; nothing may replace graphs that were not read
    const analysis::BunsekiSaveResult saved =
        analysis::SaveBunsekiTable(m_host.dbPath, m_model.rows(), m_model.loaded(), *m_host.list);
    switch (saved.outcome) {
    case analysis::BunsekiSaveOutcome::Unchanged:
        return true;
    case analysis::BunsekiSaveOutcome::Failed:
        // The sheet stays open with the rows, so that nothing typed is lost.
        MessageBox::warning(this,
                            QString::fromUtf8("分析グラフを保存できませんでした。\n") +
                                QString::fromStdString(saved.error),
                            panelName());
        return false;
    case analysis::BunsekiSaveOutcome::Saved:
        m_model.markSaved();
        if (m_host.reloadCharts)
            m_host.reloadCharts();
        return true;
    }
    return true;
}

} // namespace tavora::settings::ui
