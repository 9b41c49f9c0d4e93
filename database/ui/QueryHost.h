#pragma once

// What the SQL window reaches in the group results window: its result set
// and its grid's focus.

class Query;

class QueryHost
{
public:
    virtual ~QueryHost() = default;
    virtual Query &query() = 0;
    virtual void focusGrid() = 0;
};
