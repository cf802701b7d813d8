// The shared library is assembled from the family libraries; loading it runs
// no set-up of its own.
