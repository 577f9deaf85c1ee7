// tList's storage, names and lock.
#include "library/list.h"

#include <algorithm>
#include <numeric>

#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {

[[noreturn]] void RaiseListError(std::string_view text) {
    throw EListError(std::string(text));
}

} // namespace

tList::tList(std::int32_t capacity) {
    SetCapacity(capacity);
}

tList::~tList() {
    Clear();
}

void tList::FreeItem(void* /*item*/) {}

void tList::CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= m_Count)
        RaiseListError("Индекс списка вне границ"_oem);
}

void tList::Grow() {
    if (m_Count < m_Capacity)
        return;
    // Grows by a quarter, at least 4 slots, as lists of many items should not copy per add.
    std::int32_t delta = m_Capacity > 64 ? m_Capacity / 4 : (m_Capacity > 8 ? 16 : 4);
    SetCapacity(std::min<std::int64_t>(std::int64_t(m_Capacity) + delta, kMaxListSize));
}

std::int32_t tList::Add(void* item) {
    if (!Duplicates) {
        std::int32_t existing = IndexOf(item);
        if (existing >= 0)
            return existing;
    }
    if (HasOption(loSorted)) {
        std::int32_t index = SortedPlace({});
        InsertNamed(index, item, {});
        return index;
    }
    InsertNamed(m_Count, item, {});
    return m_Count - 1;
}

std::int32_t tList::AddNamed(void* item, std::string_view name) {
    if (!HasOption(loNamed))
        RaiseListError("Операция допустима только для списка с именами"_oem);
    if (DuplicateNames != tDuplicateNames::Accept) {
        std::int32_t existing = IndexOfName(name);
        if (existing >= 0) {
            if (DuplicateNames == tDuplicateNames::Ignore)
                return existing;
            RaiseListError("Невозможно повторение строк в списке"_oem);
        }
    }
    std::int32_t index = HasOption(loSorted) ? SortedPlace(name) : m_Count;
    InsertNamed(index, item, std::string(name));
    return index;
}

void tList::Insert(std::int32_t index, void* item) {
    if (index < 0 || index > m_Count)
        RaiseListError("Индекс списка вне границ"_oem);
    InsertNamed(index, item, {});
}

void tList::InsertNamed(std::int32_t index, void* item, std::string name) {
    if (m_Count == kMaxListSize)
        RaiseListError(FormatText("Недопустимая ёмкость списка (%d)"_oem, {m_Count + 1}));
    Grow();
    m_Items.insert(m_Items.begin() + index, item);
    if (HasOption(loNamed))
        m_Names.insert(m_Names.begin() + index, std::move(name));
    ++m_Count;
}

void* tList::ItemAt(std::int32_t index) const {
    CheckIndex(index);
    return m_Items[std::size_t(index)];
}

const std::string& tList::NameAt(std::int32_t index) const {
    CheckIndex(index);
    if (!HasOption(loNamed))
        RaiseListError("Операция допустима только для списка с именами"_oem);
    return m_Names[std::size_t(index)];
}

std::int32_t tList::IndexOf(const void* item) const {
    auto found = std::find(m_Items.begin(), m_Items.end(), item);
    return found == m_Items.end() ? -1 : std::int32_t(found - m_Items.begin());
}

std::int32_t tList::IndexOfName(std::string_view name) const {
    if (!HasOption(loNamed))
        return -1;
    for (std::int32_t i = 0; i < m_Count; ++i)
        if (CompareText(m_Names[std::size_t(i)], name) == 0)
            return i;
    return -1;
}

void* tList::Extract(std::int32_t index) {
    CheckIndex(index);
    void* item = m_Items[std::size_t(index)];
    m_Items.erase(m_Items.begin() + index);
    if (HasOption(loNamed))
        m_Names.erase(m_Names.begin() + index);
    --m_Count;
    return item;
}

void tList::DeleteAt(std::int32_t index) {
    FreeItem(Extract(index));
}

void tList::Clear() {
    while (m_Count > 0)
        DeleteAt(m_Count - 1);
    SetCapacity(0);
}

void tList::SetCapacity(std::int32_t capacity) {
    if (capacity < m_Count || capacity > kMaxListSize)
        RaiseListError(FormatText("Недопустимая ёмкость списка (%d)"_oem, {capacity}));
    m_Items.reserve(std::size_t(capacity));
    if (capacity < m_Capacity) {
        m_Items.shrink_to_fit();
        m_Names.shrink_to_fit();
    }
    m_Capacity = capacity;
}

void tList::SetCount(std::int32_t count) {
    if (count < 0 || count > kMaxListSize)
        RaiseListError(FormatText("Недопустимое количество элементов списка (%d)"_oem, {count}));
    while (m_Count > count)
        DeleteAt(m_Count - 1);
    if (count > m_Capacity)
        SetCapacity(count);
    while (m_Count < count)
        InsertNamed(m_Count, nullptr, {});
}

void tList::SetOption(std::uint32_t bit, bool on) {
    if (!on) {
        m_Options &= ~bit;
        if (bit & loNamed) {
            m_Options &= ~loSorted;
            m_Names.clear();
            m_Names.shrink_to_fit();
        }
        return;
    }
    if ((bit & (loNamed | loSorted | loResort)) && !HasOption(loNamed)) {
        m_Names.assign(std::size_t(m_Count), std::string());
        m_Options |= loNamed;
    }
    m_Options |= bit & ~loResort;
    if (bit & loCheckNames)
        CheckNames();
    if ((bit & loSorted) || ((bit & loResort) && HasOption(loSorted)))
        SortByName();
}

void tList::CheckNames() const {
    if (!HasOption(loNamed) || DuplicateNames != tDuplicateNames::Error)
        return;
    for (std::int32_t i = 0; i < m_Count; ++i)
        for (std::int32_t j = i + 1; j < m_Count; ++j)
            if (CompareText(m_Names[std::size_t(i)], m_Names[std::size_t(j)]) == 0)
                RaiseListError("Невозможно повторение строк в списке"_oem);
}

void tList::SortByName() {
    std::vector<std::size_t> order(static_cast<std::size_t>(m_Count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return CompareText(m_Names[a], m_Names[b]) < 0;
    });
    std::vector<void*> items;
    std::vector<std::string> names;
    items.reserve(m_Items.capacity());
    names.reserve(order.size());
    for (std::size_t i : order) {
        items.push_back(m_Items[i]);
        names.push_back(std::move(m_Names[i]));
    }
    m_Items = std::move(items);
    m_Names = std::move(names);
}

// After the last equal name, so equal names keep the order they were added in.
std::int32_t tList::SortedPlace(std::string_view name) const {
    auto place = std::upper_bound(
        m_Names.begin(), m_Names.end(), name,
        [](std::string_view key, const std::string& slot) { return CompareText(key, slot) < 0; });
    return std::int32_t(place - m_Names.begin());
}

void tList::Lock() {
    if (!MultiThread)
        return;
    std::call_once(m_LockMade, [this] { m_LockObject = std::make_unique<TCriticalSection>(); });
    m_LockObject->Enter();
}

void tList::Unlock() {
    if (MultiThread && m_LockObject)
        m_LockObject->Leave();
}

} // namespace zarvo
