// The implementations behind the rows of the function table (Functions.cpp), by family.
#pragma once

#include <vector>

#include "store/api/Status.h"
#include "vlt/formula/NoteContext.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

#define DELVEX_FORMULA_FN(name)                                                                    \
    store::Status name(const NoteContext* note, std::vector<Value>& args, Value* out)

// Text (TextFunctions.cpp)
DELVEX_FORMULA_FN(FnUpper);
DELVEX_FORMULA_FN(FnLower);
DELVEX_FORMULA_FN(FnCapitalize);
DELVEX_FORMULA_FN(FnTrim);
DELVEX_FORMULA_FN(FnLen);
DELVEX_FORMULA_FN(FnSlice);
DELVEX_FORMULA_FN(FnFind);
DELVEX_FORMULA_FN(FnContains);
DELVEX_FORMULA_FN(FnStartsWith);
DELVEX_FORMULA_FN(FnEndsWith);
DELVEX_FORMULA_FN(FnReplace);
DELVEX_FORMULA_FN(FnSplit);
DELVEX_FORMULA_FN(FnBefore);
DELVEX_FORMULA_FN(FnAfter);
DELVEX_FORMULA_FN(FnText);
// Lists (ListFunctions.cpp)
DELVEX_FORMULA_FN(FnJoin);
DELVEX_FORMULA_FN(FnCount);
DELVEX_FORMULA_FN(FnAt);
DELVEX_FORMULA_FN(FnTake);
DELVEX_FORMULA_FN(FnUnique);
DELVEX_FORMULA_FN(FnSort);
DELVEX_FORMULA_FN(FnReverse);
DELVEX_FORMULA_FN(FnMin);
DELVEX_FORMULA_FN(FnMax);
DELVEX_FORMULA_FN(FnTypeOf);
// Numbers (NumberFunctions.cpp)
DELVEX_FORMULA_FN(FnRound);
DELVEX_FORMULA_FN(FnFloor);
DELVEX_FORMULA_FN(FnCeil);
DELVEX_FORMULA_FN(FnAbs);
DELVEX_FORMULA_FN(FnSum);
DELVEX_FORMULA_FN(FnNumber);
// Times (TimeFunctions.cpp)
DELVEX_FORMULA_FN(FnNow);
DELVEX_FORMULA_FN(FnToday);
DELVEX_FORMULA_FN(FnYear);
DELVEX_FORMULA_FN(FnMonth);
DELVEX_FORMULA_FN(FnDay);
DELVEX_FORMULA_FN(FnWeekday);
DELVEX_FORMULA_FN(FnHour);
DELVEX_FORMULA_FN(FnMinute);
DELVEX_FORMULA_FN(FnSecond);
DELVEX_FORMULA_FN(FnShift);
DELVEX_FORMULA_FN(FnDate);
DELVEX_FORMULA_FN(FnTime);
// The note (NoteFunctions.cpp)
DELVEX_FORMULA_FN(FnNoteId);
DELVEX_FORMULA_FN(FnCreated);
DELVEX_FORMULA_FN(FnModified);
DELVEX_FORMULA_FN(FnNoteClass);
DELVEX_FORMULA_FN(FnHasItem);
DELVEX_FORMULA_FN(FnForm);
DELVEX_FORMULA_FN(FnIsResponse);
DELVEX_FORMULA_FN(FnItem);

#undef DELVEX_FORMULA_FN

} // namespace vlt::formula
