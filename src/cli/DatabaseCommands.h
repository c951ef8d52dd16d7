#pragma once

class TCliArgs;

// "db info", "db standings", "db team" over the reference database.
int CmdDatabase(const TCliArgs &args, bool json);
