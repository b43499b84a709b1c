#pragma once
// The bench's measuring processes: each starts the program as main() does (or a bare Qt dialog,
// the baseline), does one kind of measurement and prints its figures as "name value..." lines.
// The driver (zem_bench without --probe) starts them and reads those lines.
//
//   --probe startup ROOT           exec to the home screen's first frame; "frame_ns", "rss_kib"
//   --probe startup-baseline       the same for a dialog with one label
//   --probe open NAME ROOT LATER [YARDSTICK]
//                                  the first open of screen NAME (catalog class name, or one of
//                                  the baselines bare, styled, label) after start, then LATER
//                                  opens more; "first MS", "later MS..."; with YARDSTICK, that
//                                  screen's later opens by turns with NAME's, "yardstick MS..."
//   --probe keys ROOT RUNS         keys to their last frame; "key SCENARIO MS BUSY_MS LONGEST_MS"
//   --probe walk ROOT              every screen of the catalog opened and walked by keys, each
//                                  announced by an access check of "/zem-bench-mark/<name>"
//   --probe list                   the catalog's screens by class name, one a line
//   --probe idle-baseline          a dialog with one label, left idle until killed
int run_probe(int argc, char **argv);
