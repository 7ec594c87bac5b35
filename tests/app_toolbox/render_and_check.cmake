# Renders a stroke script to PNG and checks the file with check_png.py.
execute_process(COMMAND ${RENDER} ${SCRIPT} --png ${OUT}/render_check.png RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "scribbix-render failed (${rc})")
endif()
execute_process(COMMAND ${PYTHON} ${CHECKER} ${OUT}/render_check.png RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the PNG did not decode")
endif()
