#pragma once

#include "chromatogram/ComponentEntry.h"

#include <string>
#include <vector>

namespace dgaws {

using ComponentTable = std::vector<ComponentEntry>;

// Entries stay in ascending retention time, `index` equals the position, and the references
// between entries (`internalStandardIndex`, `groupParentIndex`) keep naming the same entry
// through every insertion and removal. A reference to a removed entry becomes -1.

// Inserts before the first entry with a strictly greater retention time (appends when none)
// and returns the position. The new entry's own references name positions of the table as
// it was before the insertion.
int addComponent(ComponentTable& table, ComponentEntry entry);

// Removes the entry at `position`; a position outside the table changes nothing.
void removeComponent(ComponentTable& table, int position);

// Takes the entry at `position` out and puts `entry` in by retention time; references to the
// old entry follow it to the new position, which is returned (-1 for a bad position).
int replaceComponent(ComponentTable& table, int position, ComponentEntry entry);

// How one of those operations moves a reference held outside the table (the base component
// of a curve, say).
int referenceAfterInsert(int reference, int insertedAt);
int referenceAfterRemove(int reference, int removedAt);
int referenceAfterReplace(int reference, int from, int to);

// Both bounds inclusive; the sign of the window is ignored.
bool inTimeWindow(const ComponentEntry& entry, double minutes);
// The first entry in table order whose window holds the time, or -1.
int componentAtTime(const ComponentTable& table, double minutes);
// The first entry with exactly this name, or -1.
int componentNamed(const ComponentTable& table, const std::string& name);

inline bool validComponentIndex(const ComponentTable& table, int index)
{
    return index >= 0 && index < static_cast<int>(table.size());
}

}  // namespace dgaws
