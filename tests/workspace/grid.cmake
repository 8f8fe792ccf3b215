# Tests of the row grid and segment editor.
