// The renderer comes here.
