#!/usr/bin/env bash
# The card document is the only door to a card: in the designer's own
# code (document/, editor/, app/) no file but the document and its steps
# calls a member of the layer table that changes records or moves its
# cursor, or hooks the table's events. The headless program, the print
# report and the layer definitions work on tables of their own.
#   only_door.sh path/to/src
set -euo pipefail
src=$1
writers='AddNewRecord|EditRecord|PostRecord|CancelRecord|RemoveRecord|WriteField|WriteBlob|WriteFieldAt|LoadFile'
writers+='|InsertStored|RemoveStored|Reorder|SortRecords|OpenTable|CloseTable|MoveFirst|MoveLast|MoveNext'
writers+='|MovePrior|MoveTo|LocateRecord|LocateId|DisableControls|EnableControls|BeginLoad|EndLoad|CalculateRow'
hooks='BeforeOpen|AfterOpen|BeforeClose|AfterClose|BeforeInsert|AfterInsert|OnNewRecord|BeforeEdit|AfterEdit'
hooks+='|BeforePost|AfterPost|BeforeCancel|AfterCancel|BeforeDelete|AfterDelete|BeforeScroll|AfterScroll|OnCalcFields'
found=$(grep -rnE "\\b($writers)\\(|\\b($hooks)\\s*=[^=]" "$src/document" "$src/editor" "$src/app" \
    --include='*.cpp' --include='*.h' | grep -vE "^$src/document/(CardDocument|CardSteps)\\.cpp:" || true)
if [[ -n "$found" ]]; then
    echo "the card is changed outside its document:" >&2
    echo "$found" >&2
    exit 1
fi
echo "only the card document changes the card"
