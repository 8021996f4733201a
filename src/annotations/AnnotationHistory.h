#pragma once
// What the chart needs of the document's undo history: recording the pointer tools' finished
// changes as one step, and loading a code's elements as of the current step. The history of
// the open document implements it; the Home page calls it on the UI thread.
#include "annotations/CodeAnnotations.h"

#include <span>
#include <vector>

namespace tavora::annotations {

// Elements of one list that change together with those of other lists.
struct StepElements {
    const GraphDrawList* list = nullptr;
    std::vector<GraphDrawElement*> elements;
};

class AnnotationHistory {
public:
    virtual ~AnnotationHistory() = default;
    // Records `elements` (members of `list`) as they are now, as one step, under the list's
    // code and period letter (the code the list was loaded for, whatever is current now).
    // Never called with no elements.
    virtual void recordStep(const GraphDrawList& list, std::span<GraphDrawElement* const> elements) = 0;
    // Records the elements of several lists (periods) as one step, each under its list's code
    // and period letter; nothing when no part has elements. A history that cannot take them
    // in one step records each list's part as a step of its own.
    virtual void recordGroupStep(std::span<const StepElements> parts) {
        for (const StepElements& part : parts)
            if (part.list && !part.elements.empty())
                recordStep(*part.list, part.elements);
    }
    // Fills `lists`, just reset for lists.code(), with that code's elements as of the current
    // step (rows of an unknown kind or period kept as GraphDrawList::keepUnknown and
    // CodeAnnotations::foreign describe).
    virtual void load(CodeAnnotations& lists) = 0;
};

} // namespace tavora::annotations
