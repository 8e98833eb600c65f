#pragma once

// Announces the end of a run as the signal org.tarnwick.Tool.ToolQuit on the
// system bus. Without a reachable bus nothing is posted.
void postToolQuit();
