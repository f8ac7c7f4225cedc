// placeholder for a library without sources yet
