// The exports and their argument lists, position by position, exactly as the
// host passes them. This one list declares the C entry points and, for the
// name decoration of the DLL's second set of names, the same signatures as
// C++ functions under their full names.
//
// X(result type, plain export name, full name, (parameter types))
#pragma once

class COleDateTime;

#define STATS_TEXT const char*
#define STATS_TEXT3 STATS_TEXT, STATS_TEXT, STATS_TEXT
#define STATS_TEXT5 STATS_TEXT3, STATS_TEXT, STATS_TEXT
#define STATS_TEXT10 STATS_TEXT5, STATS_TEXT5
#define STATS_INT3 int, int, int

// ResetStats0: 1 text, 1 int, 1 text, 2 date-time, 10 text, 3 int, 2 double, 3 text.
#define STATS_RESET_PARAMS                                                                         \
    STATS_TEXT, int, STATS_TEXT, COleDateTime*, COleDateTime*, STATS_TEXT10, STATS_INT3, double,   \
        double, STATS_TEXT3

// AddData0 and RemoveData0: 2 text, 4 date-time, 2 unsigned, 15 text, 3 int,
// 2 double, 5 text.
#define STATS_QSO_PARAMS                                                                           \
    STATS_TEXT, STATS_TEXT, COleDateTime*, COleDateTime*, COleDateTime*, COleDateTime*,            \
        unsigned int, unsigned int, STATS_TEXT10, STATS_TEXT5, STATS_INT3, double, double,         \
        STATS_TEXT5

// CheckCall0: 1 text, 2 unsigned, 11 text, 3 int, 2 double, 7 text, 2 buffer.
#define STATS_CHECK_PARAMS                                                                         \
    STATS_TEXT, unsigned int, unsigned int, STATS_TEXT10, STATS_TEXT, STATS_INT3, double, double,  \
        STATS_TEXT5, STATS_TEXT, STATS_TEXT, char*, char*

#define STATS_EXPORT_LIST(X)                                                                       \
    X(int, AddData0, AddData0, (STATS_QSO_PARAMS))                                                 \
    X(int, CheckCall0, CheckCallFunc0, (STATS_CHECK_PARAMS))                                       \
    X(int, GetExchgCount0, StatsGetExchgCount0, (STATS_TEXT3))                                     \
    X(int, GetNumberOfSets, GetNumberOfSets, ())                                                   \
    X(const char*, GetResult0, GetResult0, (int*))                                                 \
    X(const char*, GetSetName, GetSetName, (int))                                                  \
    X(int, IsValidExchg0, StatsIsValidExchg0, (STATS_TEXT3, STATS_TEXT, STATS_INT3))               \
    X(int, RemoveData0, RemoveData0, (STATS_QSO_PARAMS))                                           \
    X(int, ResetStats0, ResetStats0, (STATS_RESET_PARAMS))                                         \
    X(void, SetupSet0, SetupSet0, ())
