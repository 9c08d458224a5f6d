// Runs before mokuren-node's C++ starts: the program sees node's environment (MOKUREN_FONT_DIR,
// MOKUREN_SCALAR, HOME, …) as a native program sees its own.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  if (typeof process === 'object' && process.env) Object.assign(ENV, process.env);
});
