#pragma once

#include "ComponentTable.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/PeakTable.h"

#include <string>

namespace dgaws {

// The rules that keep a curve consistent while its table changes: every component has one
// concentration per level, every run one response per component in table order, and the
// base component and the references between components keep naming the same component.

// Inserts in retention order and returns the position. The concentrations are sized to the
// first component's count (one, and at least one level, for an empty table); every run gets
// a zero response at the new position.
int insertComponent(CalibrationCurve& curve, ComponentEntry entry);
// "插入组份": the nine gases, each inserted by the rule above.
void insertGasSet(CalibrationCurve& curve);

// Removes the component and its response from every run; false for a bad position.
bool deleteComponent(CalibrationCurve& curve, int position);
// The first component of that name; false when there is none.
bool deleteComponentNamed(CalibrationCurve& curve, const std::string& name);
// "清除未知组份": every component whose name contains "未知"; returns how many went.
int clearUnknownComponents(CalibrationCurve& curve);

// A new retention time for a component: it moves to its place in retention order, with its
// responses in every run. Returns the new position, -1 for a bad position.
int moveComponent(CalibrationCurve& curve, int position, double retentionTime);

// A concentration column and its level, on all components together.
void appendConcentration(CalibrationCurve& curve);
bool deleteConcentration(CalibrationCurve& curve, int level);
// Stores one concentration; a column beyond the component's list extends every component
// and the level list up to it.
bool setConcentration(CalibrationCurve& curve, int position, int level, double value);

bool deleteRun(CalibrationCurve& curve, int level, int run);

// "载入谱图获取组份信息": one component per peak in peak order, named after the peak's
// component or "未知组份1", "未知组份2" ... for peaks without one, at the peak's retention
// time; the level list is reset to a single level.
void componentsFromPeaks(CalibrationCurve& curve, const PeakTable& peaks);

// A run of a standard chromatogram: its path, and per component of the table the retention
// time, area and height of the peak identified as it (a later peak of the same component
// wins; zeros when there is none).
StandardRun standardRunFromPeaks(const std::string& path, const PeakTable& peaks,
                                 int componentCount);

}  // namespace dgaws
