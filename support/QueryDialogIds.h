// Resource identifiers of the query dialog, shared by the code and the .rc.
#pragma once

#define IDD_QUERY 100
#define IDC_QUERY_PROMPT 101
#define IDC_QUERY_TEXT 102

// The button captions live in the DLL's string table, so that they can be
// translated there without touching the code. The entries sit at the top of
// the 16-bit range, where the UI library the dialog stands in for keeps its
// own button captions, clear of any string the plugin may add.
#define IDS_QUERY_OK 65390
#define IDS_QUERY_CANCEL 65391
