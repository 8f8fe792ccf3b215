# Tests of the source, translation and suggestions panes.
