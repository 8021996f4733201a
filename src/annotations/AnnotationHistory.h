#pragma once
// What the chart needs of the document's undo history: recording the pointer tools' finished
// changes as one step, and loading a code's elements as of the current step. The history of
// the open document implements it; the Home page calls it on the UI thread.
#include "annotations/CodeAnnotations.h"

#include <span>

namespace tavora::annotations {

class AnnotationHistory {
public:
    virtual ~AnnotationHistory() = default;
    // Records `elements` (members of `list`) as they are now, as one step, under the list's
    // code and period letter (the code the list was loaded for, whatever is current now).
    // Never called with no elements.
    virtual void recordStep(const GraphDrawList& list, std::span<GraphDrawElement* const> elements) = 0;
    // Fills `lists`, just reset for lists.code(), with that code's elements as of the current
    // step (rows of an unknown kind or period kept as GraphDrawList::keepUnknown and
    // CodeAnnotations::foreign describe).
    virtual void load(CodeAnnotations& lists) = 0;
};

} // namespace tavora::annotations
