// The result of a computation on a note, as the text a label shows.
#pragma once

#include <string>

#include "store/api/Handles.h"
#include "store/api/Status.h"

// Evaluates the computation on the open note and turns the result into text: texts as they
// are, list entries joined by ";", the first number or time of a value or range through the
// store's conversions, "??? (not text)" for any other type. A text that holds the byte 0x7F
// is completed by the store for the note (kept as it is when that fails). Returns the
// evaluation's status; *text is set only on success.
store::Status FormulaResultToText(store::ComputeHandle compute, store::NoteHandle note,
                                  store::NoteId noteId, std::string* text);
