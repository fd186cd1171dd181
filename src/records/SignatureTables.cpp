#include "records/SignatureTables.h"

namespace {
constexpr std::uint32_t E = kSymbolEnumerated;
}

const SymbolEntry kBaseSignatures[] = {
    {E, 0x80, "DocumentPre26"},
    {E, 0x81, "Paragraph"},
    {E, 0x83, "PabReference"},
    {E, 0x86, "Document"},
    {E, 0x8C, "Link"},
    {E, 0x8D, "LinkExport"},
    {E, 0x94, "TIFF"},
    {E, 0x95, "BitmapHeader"},
    {E, 0x96, "BitmapSegment"},
    {E, 0x97, "ColorTable"},
    {E, 0x98, "PatternTable"},
    {E, 0x99, "Graphic"},
    {E, 0x9A, "PMMetaSeg"},
    {E, 0x9B, "WinMetaSeg"},
    {E, 0x9C, "MacMetaSeg"},
    {E, 0x9D, "CGMMeta"},
    {E, 0x9E, "PMMetaHeader"},
    {E, 0x9F, "WinMetaHeader"},
    {E, 0xA0, "MacMetaHeader"},
    {E, 0xA3, "TableBegin"},
    {E, 0xA4, "TableCell"},
    {E, 0xA5, "TableEnd"},
    {E, 0xA6, "StyleName"},
    {E, 0xAA, "HotspotEnd"},
    {E, 0xC5, "TransparentTable"},
    {E, 0xFF82, "PabDefinition"},
    {E, 0xFF84, "FieldPre36"},
    {E, 0xFF85, "Text"},
    {E, 0xFF87, "Metafile"},
    {E, 0xFF88, "Bitmap"},
    {E, 0xFF8A, "Field"},
    {E, 0xFF8B, "FontTable"},
    {E, 0xFF8E, "Header"},
    {E, 0xFF8F, "Keyword"},
    {E, 0xFF91, "Link2"},
    {E, 0xFF92, "LinkExport2"},
    {E, 0xFF93, "CGM"},
    {E, 0xFFA1, "DDEBegin"},
    {E, 0xFFA2, "DDEEnd"},
    {E, 0xFFA7, "OleBegin"},
    {E, 0xFFA8, "OleEnd"},
    {E, 0xFFA9, "HotspotBegin"},
    {E, 0xFFAB, "Button"},
    {E, 0xFFC3, "TextEffect"},
    {E, 0xFFC4, "StorageLink"},
    kSymbolEnd,
};

const SymbolEntry kRichTextSignatures[] = {
    {E, 0xFFAC, "Bar"},        {E, 0xFFAD, "V4HotspotBegin"}, {E, 0xAE, "V4HotspotEnd"},
    {E, 0xFFB0, "ExtField"},   {E, 0xFFBB, "PabHide"},        {E, 0xBC, "PabFormRef"},
    {E, 0xBD, "ActionBar"},    {E, 0xFFBE, "Action"},         {E, 0xFFBF, "DocAutoLaunch"},
    {E, 0xB7, "Layout"},       {E, 0xB8, "LayoutText"},       {E, 0xC0, "LayoutGraphic"},
    {E, 0xBA, "LayoutField"},  {E, 0xB9, "LayoutEnd"},        {E, 0xFFC1, "OleObjInfo"}, {E, 0xC2, "LayoutButton"},     SymbolContinueIn(kBaseSignatures),
};

const SymbolEntry kLayoutSignatures[] = {
    {E, 0xAF, "VmHeader"},
    {E, 0xB0, "VmBitmap"},
    {E, 0xB1, "VmRect"},
    {E, 0xB2, "VmPolygonByte"},
    {E, 0xB3, "VmPolyLineByte"},
    {E, 0xB4, "VmRegion"},
    {E, 0xB5, "VmAction"},
    {E, 0xB6, "VmEllipse"},
    {E, 0xB8, "VmRoundRect"},
    {E, 0xB9, "VmButton"},
    {E, 0xC0, "VmPolyRegionByte"},
    {E, 0xFFBA, "VmAction2"},
    {E, 0xFFBB, "VmTextBox"},
    {E, 0xFFBC, "VmPolygon"},
    {E, 0xFFBD, "VmPolyLine"},
    {E, 0xFFBE, "VmPolyRegion"},
    SymbolContinueIn(kBaseSignatures),
};

const SymbolEntry kDatasetSignatures[] = {
    {E, 0xFF57, "ViewMapDataset"},
    kSymbolEnd,
};
