#pragma once
// The elements the last full paint of a plot area drew, as three lists of references into
// the period's GraphDrawList: all of them, the memos and the texts. The pointer tools hit-test
// and edit through them. They are rebuilt by every full paint and must be emptied whenever the
// list is reset. UI thread.
#include "annotations/GraphDrawElement.h"
#include "chart/ChartLayers.h"

#include <vector>

namespace tavora::annotations {

struct GraphDrawWrapList {
    std::vector<GraphDrawElement*> elements;
    std::size_t count() const { return elements.size(); }
};

struct VisibleElements {
    GraphDrawWrapList all;
    GraphDrawWrapList memos;
    GraphDrawWrapList texts;

    void clear() {
        all.elements.clear();
        memos.elements.clear();
        texts.elements.clear();
    }
    // The lists of what the chart's annotation layer drew (every drawn annotation is an element).
    void assign(const chart::VisibleAnnotations& drawn) {
        auto convert = [](const std::vector<chart::ChartAnnotation*>& from, GraphDrawWrapList& to) {
            to.elements.clear();
            to.elements.reserve(from.size());
            for (chart::ChartAnnotation* a : from)
                if (auto* e = dynamic_cast<GraphDrawElement*>(a))
                    to.elements.push_back(e);
        };
        convert(drawn.all, all);
        convert(drawn.memos, memos);
        convert(drawn.texts, texts);
    }
};

} // namespace tavora::annotations
