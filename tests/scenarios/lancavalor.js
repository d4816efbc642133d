// A scenario that throws a value that is not an Error: the runner exits non-zero all the same.
throw "x";
