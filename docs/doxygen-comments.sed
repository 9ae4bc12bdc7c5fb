# SPDX-License-Identifier: MIT
# Doxygen input filter (docs/Doxyfile.in): the headers' one-line comments become documentation.
# The file's second line (what the header is for) documents its first class; a comment line before a
# declaration documents it, one after a declaration on the same line documents that line; a '<'
# starting a word in a comment is text, not HTML.
2h
1,/^#define VL_/b
/^\(class\|struct\) [A-Za-z_]*[^;]*$/{
    G
    s|^\(.*\)\n// \(.*\)$|/** \2 */ \1|
    s|\n.*||
    x
    s/.*//
    x
}
s|^\([[:space:]]*\)// |\1/// |
s|^\([[:space:]]*\)//$|\1///|
s|\([^/[:space:]][^/]*[;{},]\)\([[:space:]]\{1,\}\)// |\1\2///< |
:escape
s|\(///.*[^\\]\)<\([a-zA-Z]\)|\1\\<\2|
t escape
