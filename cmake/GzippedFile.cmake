# Writes the configured copy of INPUT to OUTPUT and beside it OUTPUT.gz,
# compressed as Debian wants manual pages and changelogs: at the highest
# level, without name or time stamp, so that packages are reproducible.
function(configure_gzipped input output)
  configure_file(${input} ${output} @ONLY)
  execute_process(COMMAND gzip -9 --no-name --keep --force ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
