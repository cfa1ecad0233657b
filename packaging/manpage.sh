#!/bin/sh
# A manual page from its scdoc source, compressed as Debian wants it, and
# marked as UTF-8 so that man shows a page in a language folder (hu/) right.
#   manpage.sh SCDOC SOURCE.scd OUT.gz
set -e
{ printf '%s\n' "'\\\" -*- coding: UTF-8 -*-"; "$1" < "$2"; } | gzip -9n > "$3"
