// placeholder: to be implemented
