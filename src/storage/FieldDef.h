#pragma once

#include <string>
#include <string_view>

// Type codes as stored in card files; the numbering is the file format's.
enum class FieldType : int {
    Unknown, String, SmallInt, Integer, Word, Boolean, Float, Currency, BCD,
    Date, Time, DateTime, Bytes, VarBytes, AutoInc, Blob, Memo, Graphic,
    FmtMemo, ParadoxOle, dBaseOle, TypedBinary, Cursor, FixedChar, WideString,
    LargeInt, ADT, Array, Reference, DataSet, HugeBlob, HugeClob, Variant,
    Interface, Dispatch, Guid, SQLTimeStamp, FMTBcdField
};
constexpr int FieldTypeCount = 38;

enum class FieldKind : int { Data, Calculated, Lookup, InternalCalc, Aggregate };
constexpr int FieldKindCount = 5;

// The spelling used in card files ("Integer", "Blob", ...).
std::string_view fieldTypeName(FieldType type);
std::string_view fieldKindName(FieldKind kind);

struct FieldDef
{
    std::string FieldName;
    FieldType Type = FieldType::String;
    int Size = 0;
    std::string DisplayLabel;
    int DisplayWidth = 0;
    std::string EditMask;
    bool Required = false;
    bool ReadOnly = false;
    bool Visible = true;
    FieldKind Kind = FieldKind::Data;
    std::string DefaultExpression;

    const std::string& displayName() const { return DisplayLabel.empty() ? FieldName : DisplayLabel; }
    bool isStored() const { return Kind == FieldKind::Data || Kind == FieldKind::InternalCalc; }
};
