#include "AnalysisMethod.h"

namespace dgaws {

bool AnalysisMethod::operator==(const AnalysisMethod& o) const
{
    return fieldsEqual(*this, o);
}

}  // namespace dgaws
