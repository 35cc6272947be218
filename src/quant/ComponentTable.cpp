#include "ComponentTable.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace dgaws {
namespace {

template <class Map> void remapReferences(ComponentTable& table, Map map)
{
    for (ComponentEntry& e : table) {
        if (e.internalStandardIndex >= 0)
            e.internalStandardIndex = map(e.internalStandardIndex);
        if (e.groupParentIndex >= 0)
            e.groupParentIndex = map(e.groupParentIndex);
    }
}

void renumber(ComponentTable& table)
{
    for (size_t i = 0; i < table.size(); ++i)
        table[i].index = static_cast<int>(i);
}

int insertionPoint(const ComponentTable& table, double retentionTime)
{
    int at = 0;
    const int n = static_cast<int>(table.size());
    while (at < n && !(table[static_cast<size_t>(at)].retentionTime > retentionTime))
        ++at;
    return at;
}

}  // namespace

int referenceAfterInsert(int reference, int insertedAt)
{
    return reference >= insertedAt ? reference + 1 : reference;
}

int referenceAfterRemove(int reference, int removedAt)
{
    if (reference < 0)
        return reference;
    if (reference == removedAt)
        return -1;
    return reference > removedAt ? reference - 1 : reference;
}

int referenceAfterReplace(int reference, int from, int to)
{
    if (reference < 0)
        return reference;
    if (reference == from)
        return to;
    const int removed = reference > from ? reference - 1 : reference;
    return removed >= to ? removed + 1 : removed;
}

int addComponent(ComponentTable& table, ComponentEntry entry)
{
    const int at = insertionPoint(table, entry.retentionTime);
    table.insert(table.begin() + at, std::move(entry));
    remapReferences(table, [at](int r) { return referenceAfterInsert(r, at); });
    renumber(table);
    return at;
}

void removeComponent(ComponentTable& table, int position)
{
    if (!validComponentIndex(table, position))
        return;
    table.erase(table.begin() + position);
    remapReferences(table, [position](int r) { return referenceAfterRemove(r, position); });
    renumber(table);
}

int replaceComponent(ComponentTable& table, int position, ComponentEntry entry)
{
    if (!validComponentIndex(table, position))
        return -1;
    table.erase(table.begin() + position);
    const int at = insertionPoint(table, entry.retentionTime);
    table.insert(table.begin() + at, std::move(entry));
    remapReferences(table,
                    [position, at](int r) { return referenceAfterReplace(r, position, at); });
    renumber(table);
    return at;
}

bool inTimeWindow(const ComponentEntry& entry, double minutes)
{
    const double w = std::fabs(entry.timeWindow);
    return entry.retentionTime - w <= minutes && minutes <= entry.retentionTime + w;
}

int componentAtTime(const ComponentTable& table, double minutes)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (inTimeWindow(table[i], minutes))
            return static_cast<int>(i);
    return -1;
}

int componentNamed(const ComponentTable& table, const std::string& name)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].name == name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace dgaws
