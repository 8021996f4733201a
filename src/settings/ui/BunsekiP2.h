#pragma once
// The analysis-graph editor of the side sheet ("分析グラフの編集"): the table of the stored
// graphs and the detail panel of one. Opening reads "bunseki.db"; all editing happens on rows
// held here; the side sheet's apply saves them (only when they changed) and then reloads the
// definitions and reopens the chart. When the stored graphs cannot be read, the editor says
// so and offers neither "登録", "削除" nor apply, so that nothing stored can be overwritten.
// UI thread only.
#include "analysis/BunsekiEditModel.h"
#include "framework/ui/SideSheetPanel.h"

#include <functional>
#include <string>

class QLabel;

namespace tavora::settings::ui {

class BunsekiP2SyousaiP;
class BunsekiP2TableP;

class BunsekiP2 : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    struct Host {
        std::string dbPath;                    // bunseki.db
        analysis::BunsekiList* list = nullptr; // the definitions the charts are drawn from
        std::function<void()> reloadCharts;    // reopen the current code on every chart
    };

    explicit BunsekiP2(Host host, QWidget* parent = nullptr);

    QString panelName() const override { return QStringLiteral("分析グラフの編集"); }
    bool hasUnsavedChanges() const override { return m_model.readable() && m_model.changed(); }
    bool applyChanges() override;
    bool canApply() const override { return m_model.readable(); }

    // On opening: the rows from the file, unapplied edits dropped.
    void initPanel();

    const analysis::BunsekiEditModel& model() const { return m_model; }
    BunsekiP2TableP* table() const { return m_table; }
    BunsekiP2SyousaiP* detailPanel() const { return m_detail; }
    // The message shown when the stored graphs cannot be read (hidden otherwise).
    QLabel* problemLabel() const { return m_problem; }

    // The detail panel's buttons and the table's clicks.
    void registerDetail();
    // The rows of a template (an index of analysis::bunsekiTemplates()) at the end of the table.
    void addTemplate(int index);
    void deleteDetail();
    void selectRow(int row);
    void toggleShown(int row);

private:
    void showRows(std::optional<int> selected);

    Host m_host;
    analysis::BunsekiEditModel m_model;
    QLabel* m_problem;
    BunsekiP2TableP* m_table;
    BunsekiP2SyousaiP* m_detail;
};

} // namespace tavora::settings::ui
