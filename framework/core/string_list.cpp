#include "framework/core/string_list.h"

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"

namespace pogoda {

void TStringList::CheckIndex(int index, bool allowEnd) const {
    const int limit = allowEnd ? Count() : Count() - 1;
    if (index < 0 || index > limit) throw EListError(Format(messages::kListIndexError, index));
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].text;
}

void TStringList::SetStrings(int index, std::string value) {
    if (m_sorted) throw EListError(messages::kSortedListError);
    CheckIndex(index);
    m_items[static_cast<size_t>(index)].text = std::move(value);
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
    CheckIndex(index);
    m_items[static_cast<size_t>(index)].object = object;
}

int TStringList::AddObject(std::string s, TObject* object) {
    int index = Count();
    if (m_sorted && Find(s, index)) {
        if (m_duplicates == dupIgnore) return index;
        if (m_duplicates == dupError) throw EListError(messages::kDuplicateString);
    }
    m_items.insert(m_items.begin() + index, Item{std::move(s), object});
    return index;
}

void TStringList::InsertObject(int index, std::string s, TObject* object) {
    if (m_sorted) throw EListError(messages::kSortedListError);
    CheckIndex(index, true);
    m_items.insert(m_items.begin() + index, Item{std::move(s), object});
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    m_items.erase(m_items.begin() + index);
}

void TStringList::Clear() { m_items.clear(); }

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(m_items[static_cast<size_t>(a)], m_items[static_cast<size_t>(b)]);
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return m_caseSensitive ? CompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
    if (m_sorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(m_items[static_cast<size_t>(i)].text, s) == 0) return i;
    }
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i) {
        if (m_items[static_cast<size_t>(i)].object == object) return i;
    }
    return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    bool found = false;
    int low = 0, high = Count() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = CompareStrings(m_items[static_cast<size_t>(mid)].text, s);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (m_duplicates != dupAccept) low = mid;
            }
        }
    }
    index = low;
    return found;
}

std::string TStringList::Names(int index) const {
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = m_items[static_cast<size_t>(i)].text;
        const size_t eq = s.find('=');
        if (eq != std::string::npos &&
            CompareStrings(std::string_view(s).substr(0, eq), name) == 0) {
            return i;
        }
    }
    return -1;
}

std::string TStringList::Values(std::string_view name) const {
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValues(std::string_view name, std::string_view value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i < 0) {
        Add(std::move(line));
    } else {
        m_items[static_cast<size_t>(i)].text = std::move(line);
    }
}

std::string TStringList::Text() const {
    std::string r;
    for (const Item& item : m_items) {
        r += item.text;
        r += "\r\n";
    }
    return r;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        Add(std::string(text.substr(start, i - start)));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

namespace {

bool IsCommaBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string TStringList::CommaText() const {
    if (Count() == 1 && m_items[0].text.empty()) return "\"\"";
    std::string r;
    bool first = true;
    for (const Item& item : m_items) {
        const std::string& s = item.text;
        const bool quote = std::any_of(s.begin(), s.end(), [](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',';
        });
        if (!first) r += ',';
        first = false;
        if (quote) {
            r += '"';
            for (char c : s) {
                if (c == '"') r += '"';
                r += c;
            }
            r += '"';
        } else {
            r += s;
        }
    }
    return r;
}

void TStringList::SetCommaText(std::string_view text) {
    Clear();
    size_t p = 0;
    const size_t n = text.size();
    while (p < n && IsCommaBlank(text[p])) ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',') ++p;
            item.assign(text.substr(start, p - start));
            if (p < n && text[p] == '\0') ++p;  // a NUL is neither text nor separator
        }
        Add(std::move(item));
        while (p < n && IsCommaBlank(text[p])) ++p;
        if (p < n && text[p] == ',') {
            if (p + 1 == n) Add(std::string());
            do {
                ++p;
            } while (p < n && IsCommaBlank(text[p]));
        }
    }
}

void TStringList::SetSorted(bool value) {
    if (value && !m_sorted) {
        m_sorted = true;
        Sort();
    }
    m_sorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == m_caseSensitive) return;
    m_caseSensitive = value;
    if (m_sorted) Sort();
}

void TStringList::Sort() {
    std::stable_sort(m_items.begin(), m_items.end(), [this](const Item& a, const Item& b) {
        return CompareStrings(a.text, b.text) < 0;
    });
}

void TStringList::Assign(const TPersistent* source) {
    if (const auto* other = dynamic_cast<const TStringList*>(source)) {
        if (other == this) return;
        m_items = other->m_items;
        if (m_sorted) Sort();
        return;
    }
    TPersistent::Assign(source);
}

}  // namespace pogoda
