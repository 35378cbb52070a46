// Resource identifiers of the query dialog, shared by the code and the .rc.
#pragma once

#define IDD_QUERY 100
#define IDC_QUERY_PROMPT 101
#define IDC_QUERY_TEXT 102

// The dialog's button captions live in the string table under these entries.
#define IDS_QUERY_OK 65390
#define IDS_QUERY_CANCEL 65391
