# Tests of the notebook of projects.
