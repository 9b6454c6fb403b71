//! use-movie
//! until load
// The bridge movie as the runtime carries it: the probe, the three start-up calls in order
// with the form id and no arguments, the start-up values, and the load of the form's movie
// into _level0 (over HTTP only the requested address can be checked).
//! answer vor.initialise = Extensions<{!!z!!}><{!z!!}>Application<{!!z!!}>title<{z}>string<{z}>getset<{z}> <{!z!}><{!z!!}>
//! answer vor.initforms = main<{!z!}>standard<{!z!}>thisForm<{!z!!}>
//! answer vor.initppsv = invalid
//> call vor.hasEI null
//> call vor.initialise 000000|
//> call vor.initforms 000000|
//> call vor.initppsv 000000|
//> load file://HOST\~swd1.dat
