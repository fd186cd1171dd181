// The kind tables, one per file of record kinds; AllRecordKinds gathers them.
#pragma once

#include <span>

#include "records/RecordKind.h"

std::span<const RecordKind> ParagraphRecordKinds();
std::span<const RecordKind> TextRecordKinds();
std::span<const RecordKind> DocumentRecordKinds();
std::span<const RecordKind> FieldRecordKinds();
std::span<const RecordKind> GraphicRecordKinds();
std::span<const RecordKind> QueryRecordKinds();
std::span<const RecordKind> ActionRecordKinds();
std::span<const RecordKind> NavigatorRecordKinds();
std::span<const RecordKind> DatasetRecordKinds();
std::span<const RecordKind> TableRecordKinds();
std::span<const RecordKind> ObjectRecordKinds();
