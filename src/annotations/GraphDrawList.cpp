#include "annotations/GraphDrawList.h"

#include "annotations/LineElm.h"
#include "annotations/RangeNedanElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"

#include <algorithm>
#include <climits>
#include <set>

namespace tavora::annotations {

void GraphDrawList::reset(std::string code) {
    m_elements.clear();
    m_code = std::move(code);
    ++m_generation;
}

int GraphDrawList::nextId() const {
    if (m_elements.empty())
        return 1;
    const int last = m_elements.back()->id;
    if (last >= 0 && last < INT_MAX && !findById(last + 1))
        return last + 1;
    // Ids read from a document can be anything; never hand out one that is taken.
    std::set<int> used;
    for (const auto& e : m_elements)
        used.insert(e->id);
    int id = 1;
    while (used.count(id))
        ++id;
    return id;
}

namespace {
void setLook(GraphDrawElement& e, int width, int height, ColorRef font, ColorRef pen) {
    e.width = width;
    e.height = height;
    e.font_size = 9;
    e.font_cr = font;
    e.pen_cr = pen;
}

// The defaults of each kind.
void initKind(TakayasuElm& e) {
    setLook(e, 80, 18, 0x383838, 0);
}
void initKind(RangeTimeElm& e) {
    setLook(e, 80, 19, 0x8A8A8A, 0xB2B2B2);
    e.daycount.clear();
}
void initKind(RangeNedanElm& e) {
    setLook(e, 19, 19, 0x8A8A8A, 0xB2B2B2);
    e.nehaba.clear();
    e.startdate.clear();
    e.owaridate.clear();
    e.startyonhonne = e.endyonhonne = 0;
    e.yoko_ichi = 3;
}
void initKind(LineElm& e) {
    setLook(e, 19, 19, 0x8A8A8A, 0xB2B2B2);
}
void initKind(TextElm& e) {
    setLook(e, 0, 0, 0x383838, 0);
}
void initKind(MemoElm& e) {
    setLook(e, 0, 0, 0x383838, 0);
}
} // namespace

template <class Kind> Kind& GraphDrawList::append(std::optional<int> id) {
    auto element = std::make_unique<Kind>();
    // A stored id is taken as it is: looking for a free one per row made loading a document
    // of n elements take n^2 steps.
    element->id = id ? *id : nextId();
    initKind(*element);
    Kind& ref = *element;
    m_elements.push_back(std::move(element));
    return ref;
}

TakayasuElm& GraphDrawList::createTakayasu() {
    return append<TakayasuElm>(std::nullopt);
}

RangeTimeElm& GraphDrawList::createRangeTime() {
    return append<RangeTimeElm>(std::nullopt);
}

RangeNedanElm& GraphDrawList::createRangeNedan() {
    return append<RangeNedanElm>(std::nullopt);
}

LineElm& GraphDrawList::createLine() {
    return append<LineElm>(std::nullopt);
}

TextElm& GraphDrawList::createText() {
    return append<TextElm>(std::nullopt);
}

MemoElm& GraphDrawList::createMemo() {
    return append<MemoElm>(std::nullopt);
}

GraphDrawElement* GraphDrawList::create(std::string_view className, std::optional<int> id) {
    if (className == kLineElm)
        return &append<LineElm>(id);
    if (className == kTextElm)
        return &append<TextElm>(id);
    if (className == kMemoElm)
        return &append<MemoElm>(id);
    if (className == kTakayasuElm)
        return &append<TakayasuElm>(id);
    if (className == kRangeTimeElm)
        return &append<RangeTimeElm>(id);
    if (className == kRangeNedanElm)
        return &append<RangeNedanElm>(id);
    return nullptr;
}

GraphDrawElement& GraphDrawList::keepUnknown(int id, std::string className, framework::SQLListRow row) {
    auto element = std::make_unique<GraphDrawElement>(std::move(className));
    element->id = id;
    element->storedRow = std::move(row);
    GraphDrawElement& ref = *element;
    m_elements.push_back(std::move(element));
    return ref;
}

bool GraphDrawList::remove(const GraphDrawElement* element) {
    auto it = std::find_if(m_elements.begin(), m_elements.end(),
                           [element](const auto& e) { return e.get() == element; });
    if (it == m_elements.end())
        return false;
    m_elements.erase(it);
    return true;
}

void GraphDrawList::setSelected(bool value) {
    for (auto& e : m_elements)
        e->selected = value && e->isKnownKind();
}

std::vector<GraphDrawElement*> GraphDrawList::deleteSelected() {
    std::vector<GraphDrawElement*> deleted = selectedElements();
    for (GraphDrawElement* e : deleted)
        e->view_bl = false;
    return deleted;
}

std::vector<GraphDrawElement*> GraphDrawList::selectedElements() const {
    std::vector<GraphDrawElement*> out;
    for (const auto& e : m_elements)
        if (e->selected)
            out.push_back(e.get());
    return out;
}

bool GraphDrawList::contains(const GraphDrawElement* element) const {
    return element && std::any_of(m_elements.begin(), m_elements.end(),
                                  [element](const auto& e) { return e.get() == element; });
}

GraphDrawElement* GraphDrawList::findById(int id) const {
    for (const auto& e : m_elements)
        if (e->id == id)
            return e.get();
    return nullptr;
}

std::vector<chart::ChartAnnotation*> GraphDrawList::chartAnnotations() const {
    std::vector<chart::ChartAnnotation*> out;
    out.reserve(m_elements.size());
    for (const auto& e : m_elements)
        if (e->isKnownKind())
            out.push_back(e.get());
    return out;
}

} // namespace tavora::annotations
