// The function table. Ids are stored in compiled formulas: append new rows with new ids, never
// renumber or reuse one.
#include "vlt/formula/Functions.h"

#include "vlt/formula/FunctionFamilies.h"

namespace vlt::formula {

const std::vector<FunctionInfo>& AllFunctions() {
    static const std::vector<FunctionInfo> kTable = {
        {1, "upper", 1, 1, FnUpper},
        {2, "lower", 1, 1, FnLower},
        {3, "capitalize", 1, 1, FnCapitalize},
        {4, "trim", 1, 1, FnTrim},
        {5, "len", 1, 1, FnLen},
        {6, "slice", 2, 3, FnSlice},
        {7, "find", 2, 2, FnFind},
        {8, "contains", 2, 2, FnContains},
        {9, "starts_with", 2, 2, FnStartsWith},
        {10, "ends_with", 2, 2, FnEndsWith},
        {11, "replace", 3, 3, FnReplace},
        {12, "split", 2, 2, FnSplit},
        {13, "join", 1, 2, FnJoin},
        {14, "before", 2, 2, FnBefore},
        {15, "after", 2, 2, FnAfter},
        {16, "count", 1, 1, FnCount},
        {17, "at", 2, 2, FnAt},
        {18, "take", 2, 2, FnTake},
        {19, "unique", 1, 1, FnUnique},
        {20, "sort", 1, 1, FnSort},
        {21, "reverse", 1, 1, FnReverse},
        {22, "round", 1, 2, FnRound},
        {23, "floor", 1, 1, FnFloor},
        {24, "ceil", 1, 1, FnCeil},
        {25, "abs", 1, 1, FnAbs},
        {26, "min", 1, 255, FnMin},
        {27, "max", 1, 255, FnMax},
        {28, "sum", 1, 255, FnSum},
        {29, "number", 1, 1, FnNumber},
        {30, "text", 1, 1, FnText},
        {31, "now", 0, 0, FnNow},
        {32, "today", 0, 0, FnToday},
        {33, "year", 1, 1, FnYear},
        {34, "month", 1, 1, FnMonth},
        {35, "day", 1, 1, FnDay},
        {36, "weekday", 1, 1, FnWeekday},
        {37, "hour", 1, 1, FnHour},
        {38, "minute", 1, 1, FnMinute},
        {39, "second", 1, 1, FnSecond},
        {40, "shift", 4, 5, FnShift},
        {41, "date", 3, 3, FnDate},
        {42, "time", 1, 1, FnTime},
        {43, "note_id", 0, 0, FnNoteId},
        {44, "created", 0, 0, FnCreated},
        {45, "modified", 0, 0, FnModified},
        {46, "note_class", 0, 0, FnNoteClass},
        {47, "has_item", 1, 1, FnHasItem},
        {48, "form", 0, 0, FnForm},
        {49, "is_response", 0, 0, FnIsResponse},
        {50, "item", 1, 1, FnItem},
        {51, "type_of", 1, 1, FnTypeOf},
    };
    return kTable;
}

const FunctionInfo* FindFunction(std::string_view name) {
    for (const auto& f : AllFunctions())
        if (name == f.name)
            return &f;
    return nullptr;
}

const FunctionInfo* FunctionById(std::uint8_t id) {
    const auto& table = AllFunctions();
    // Ids run 1..n in table order.
    if (id == 0 || id > table.size())
        return nullptr;
    return &table[id - 1];
}

} // namespace vlt::formula
