#pragma once
/// Widens and rewrites jumps until no address changes.
void check_jump();
