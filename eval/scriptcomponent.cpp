// placeholder until the evaluator lands
