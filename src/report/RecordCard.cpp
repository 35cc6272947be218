#include "RecordCard.h"

#include "dga/GasProductionRate.h"
#include "dga/StoredGasOrder.h"

#include <cmath>

namespace dgaws {

std::optional<int> recordCardColumn(int choice)
{
    static constexpr int kColumns[kRecordCardColumnChoices] = {4, 6, 8, 9};
    if (choice < 0 || choice >= kRecordCardColumnChoices)
        return std::nullopt;
    return kColumns[choice];
}

long long recordCardDays(const OleDateTime& previous, const OleDateTime& injection)
{
    const std::optional<long long> days = wholeDaysBetween(previous, injection);
    return days && *days > 0 ? *days : 1;
}

std::vector<RecordCardCell> recordCardCells(const ChromatogramData& data)
{
    static constexpr gas::Slot kCardOrder[] = {gas::H2,  gas::O2,   gas::N2,   gas::CO,  gas::CO2,
                                               gas::CH4, gas::C2H4, gas::C2H6, gas::C2H2};
    std::vector<RecordCardCell> cells;
    int row = kRecordCardFirstRow;
    for (const gas::Slot slot : kCardOrder)
        cells.push_back({row++, data.gasInOil[slot]});
    cells.push_back({row++, data.totalHydrocarbons});
    cells.push_back({row++, 0.0});
    cells.push_back({row++, 0.0});

    const TestRecordBlock& previous = data.method.testRecord;
    if (!hasPreviousTest(previous))
        return cells;
    const double previousHydrocarbons = previous.values[rate::CH4] + previous.values[rate::C2H2] +
        previous.values[rate::C2H4] + previous.values[rate::C2H6];
    const double growth = data.totalHydrocarbons - previousHydrocarbons;
    const long long days = recordCardDays(previous.testTime, data.injectionTime);
    cells.push_back({row++, growth});
    cells.push_back({row++, double(days)});
    const double mass = data.method.oilValue1;
    const double density = data.method.oilValue2;
    if (std::isfinite(mass) && std::isfinite(density) && mass > 0.0 && density > 0.0)
        cells.push_back({row, growth / double(days) * mass / density});
    return cells;
}

}  // namespace dgaws
