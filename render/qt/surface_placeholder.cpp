// The Qt drawing surface comes here.
