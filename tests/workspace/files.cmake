# Tests of the files pane, notes pages and preview panel.
