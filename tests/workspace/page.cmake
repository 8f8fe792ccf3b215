# Tests of the project page, new-project dialog and selectors.
