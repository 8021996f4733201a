#pragma once
// The undo history of the open document as the chart uses it: the pointer tools' and the
// property panels' changes recorded as steps of the working document, and a code's elements
// loaded as of the current step. Also the two conversions between elements and the rows of
// `graphctrltb` that documents, the history and `tavora-cli render --document` share.
// UI thread (like the working document it reads).
#include "annotations/AnnotationHistory.h"
#include "annotations/ChartDocument.h"
#include "annotations/GraphCtrlRow.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tavora::annotations {

// The element's row under a period and a code (the code and period its list was loaded for).
GraphCtrlRow rowOfElement(const GraphDrawElement& element, market::ChartPeriod period, const std::string& code);
// Sets the element's fields from the row's present columns: texts copied (CP932 when not UTF-8),
// integers as stored, reals parsed, flags true for "1", colours converted, pen style and width
// through their setters, the date through SetDate, then the end date. The id too.
void applyStoredRow(const StoredRow& row, GraphDrawElement& element);
// Fills lists reset for one code with its rows (ordered by id): rows of an unknown kind are
// kept with their ids, rows of an unknown period as foreign rows.
void fillCodeAnnotations(const std::vector<StoredRow>& rows, CodeAnnotations& lists);
// One row of them.
void addCodeAnnotation(const StoredRow& row, CodeAnnotations& lists);

class DocumentHistory : public AnnotationHistory {
public:
    // Follows the document's working copy (it is replaced on New and Open).
    explicit DocumentHistory(ChartDocument& document) : m_document(document) {}
    // Called after every step recorded (the document now differs from its file).
    void setRecorded(std::function<void()> recorded) { m_recorded = std::move(recorded); }

    void recordStep(const GraphDrawList& list, std::span<GraphDrawElement* const> elements) override;
    // Every part's rows in one step of the working document.
    void recordGroupStep(std::span<const StepElements> parts) override;
    void load(CodeAnnotations& lists) override;

private:
    ChartDocument& m_document;
    std::function<void()> m_recorded;
};

} // namespace tavora::annotations
