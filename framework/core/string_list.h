#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/core/persistent.h"

namespace pogoda {

enum TDuplicates { dupIgnore, dupAccept, dupError };

// An ordered list of text lines, each carrying an optional object (not owned). Unsorted by
// default; a sorted list keeps its order on insertion and finds entries by binary search.
// Comparisons ignore Windows-1251 letter case unless CaseSensitive is set.
class TStringList : public TPersistent {
    POGODA_CLASS_NAME(TStringList)
public:
    TStringList() = default;

    int Count() const { return static_cast<int>(m_items.size()); }
    const std::string& Strings(int index) const;
    void SetStrings(int index, std::string value);
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);

    int Add(std::string s) { return AddObject(std::move(s), nullptr); }
    virtual int AddObject(std::string s, TObject* object);
    void Insert(int index, std::string s) { InsertObject(index, std::move(s), nullptr); }
    void InsertObject(int index, std::string s, TObject* object);
    void Delete(int index);
    virtual void Clear();
    void Exchange(int a, int b);

    int IndexOf(std::string_view s) const;
    int IndexOfObject(const TObject* object) const;
    // Binary search of a sorted list: true when found; index is the first entry not less
    // than s, so a duplicate is inserted before the equal ones.
    bool Find(std::string_view s, int& index) const;

    // "name=value" entries.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    int IndexOfName(std::string_view name) const;
    std::string Values(std::string_view name) const;
    void SetValues(std::string_view name, std::string_view value);

    // Lines joined with CR LF after each; setting splits at CR, LF or CR LF.
    std::string Text() const;
    void SetText(std::string_view text);
    // Items separated by commas or blanks, double quotes grouping (a doubled quote inside
    // quotes stands for one).
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates value) { m_duplicates = value; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool value);
    void Sort();

    void Assign(const TPersistent* source) override;

protected:
    int CompareStrings(std::string_view a, std::string_view b) const;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void CheckIndex(int index, bool allowEnd = false) const;

    std::vector<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = dupIgnore;
};

}  // namespace pogoda
