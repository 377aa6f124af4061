// The saved-game format comes here.
